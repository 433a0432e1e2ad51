// Resources.h: the numbers of the resources that orvanta.rc puts into the executable (shared
// with the resource compiler, which only understands the preprocessor).
#pragma once

#define ORVANTA_ICON 1
