#include "process_state.h"

namespace bv {
namespace {

ProcessState g_process;

}  // namespace

ProcessState& processState() { return g_process; }

}  // namespace bv
