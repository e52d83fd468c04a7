#include "core/startup.h"
#include "ui/skin/skin.h"

int main(int argc, char** argv)
{
    return SonveroMain(argc, argv, &CreatePlaceholderMainWindow, [] { return new Skin(nullptr); });
}
