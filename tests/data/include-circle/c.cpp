#include "x/a.h"
