#pragma once
#include "x/b.h"
