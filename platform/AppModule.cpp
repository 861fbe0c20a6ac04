#include "platform/AppModule.h"
CAppModule _Module;
