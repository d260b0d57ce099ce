// The one application object of the program, made before anything runs.
#include "app/mirtel_app.h"

CMirtelApp theApp;
