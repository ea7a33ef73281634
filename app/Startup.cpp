#include "Startup.h"

#include "Arguments.h"
#include "CQuenzoApp.h"
#include "ExactPath.h"

int RunQuenzoLite(HINSTANCE instance, const char* commandLine)
{
    CQuenzoApp application;
    return application.Run(instance, commandLine ? commandLine : "", RequestOf(OwnArguments()));
}
