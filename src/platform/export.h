// Marks a symbol the host may look up in the module; everything else is
// hidden.
#pragma once
#define QV_EXPORT __attribute__((visibility("default")))
