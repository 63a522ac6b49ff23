#include "base/options.h"

OptionState opts;

void reset_options() { opts = OptionState{}; }
