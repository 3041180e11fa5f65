#include "x/b.h"
#include "a.h"
