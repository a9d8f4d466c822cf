#include "bv_exception.h"

#include "error_report.h"

namespace bv {

bvCException::bvCException(DWORD code_, const char* file_, DWORD line_)
    : code(code_), file(file_ ? file_ : ""), line(line_) {
    printErrorReport(code, file_, line_);
}

}  // namespace bv
