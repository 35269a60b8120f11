// merrowin: the window program. Everything lives in the ui library; this only starts it.
#include "ui/main/CApplicationApp.h"

int main(int argc, char** argv) { return theApp.Run(argc, argv); }
