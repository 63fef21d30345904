#include "app/ShredApp.h"
#include "ui/MessageBoxChannel.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    MessageBoxChannel channel;
    ShredApp app;
    app.channel = &channel;
    if (app.InitInstance(commandLine ? commandLine : ""))
        app.Run();
    return app.ExitInstance();
}
