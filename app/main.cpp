#include "app/CommandLine.h"
#include "app/ShredApp.h"
#include "ui/DialogChannel.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);  // on failure no first token matches: all are arguments
    const char* fullLine = GetCommandLineA();
    DialogChannel channel;
    ShredApp app;
    app.context.channel = &channel;
    if (app.InitInstance(ArgumentsOf(fullLine ? fullLine : "", program)))
        app.Run();
    return app.ExitInstance();
}
