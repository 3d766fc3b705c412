// A game file that breaks the include rule, for the rule's own test.
#include "media/detail/internal.h"
#include "media/display.h"
