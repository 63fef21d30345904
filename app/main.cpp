#include "app/CommandLine.h"
#include "app/ShredApp.h"
#include "ui/DialogChannel.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ProgramStart start = ThisProgramStart();
    DialogChannel channel;
    ShredApp app;
    app.context.channel = &channel;
    if (app.InitInstance(ArgumentsOf(start.commandLine, start.path, start.shortPath)))
        app.Run();
    return app.ExitInstance();
}
