#include "app/ShredApp.h"
#include "ui/DialogChannel.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    DialogChannel channel;
    ShredApp app;
    app.channel = &channel;
    if (app.InitInstance(commandLine ? commandLine : ""))
        app.Run();
    return app.ExitInstance();
}
