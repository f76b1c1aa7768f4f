// Resource numbers shared by setup.rc and the code that reads the resources.
#pragma once

#define SETUP_ICON 1
#define EMBEDDED_PRODUCT 101
#define EMBEDDED_BACKGROUND 102
