#include "core/startup.h"

int main(int argc, char** argv)
{
    return SonveroMain(argc, argv, &CreatePlaceholderMainWindow);
}
