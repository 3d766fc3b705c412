// A game file that breaks the include rule, for the rule's own test.
#include "media/display.h"
#include "media/detail/internal.h"
