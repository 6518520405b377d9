// The process-wide job flags.
#include "engine/JobFlags.h"

std::atomic<int> g_bIdle{1};
std::atomic<int> g_bAbort{0};
std::atomic<int> g_bClosing{0};
std::atomic<int> g_bAdding{0};
