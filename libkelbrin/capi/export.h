// The library is built with hidden visibility; only the interface is exported.
#pragma once

#define KELBRIN_API extern "C" __attribute__((visibility("default")))
