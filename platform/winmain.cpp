// The framework's entry point: the program supplies the application object, the framework the rest.
#include "platform/winapp.h"

int main(int argc, char** argv) { return AfxWinMain(argc, argv); }
