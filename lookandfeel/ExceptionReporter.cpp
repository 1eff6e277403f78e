#include "lookandfeel/ExceptionReporter.h"

#include <utility>

namespace orlit {
namespace {

LookAndFeelExceptionReporter& Reporter() {
  static LookAndFeelExceptionReporter reporter;
  return reporter;
}

}  // namespace

LookAndFeelExceptionReporter SetLookAndFeelExceptionReporter(
    LookAndFeelExceptionReporter reporter) {
  return std::exchange(Reporter(), std::move(reporter));
}

void ReportLookAndFeelException(std::exception_ptr error) {
  // A copy, so that a reporter replacing itself does not destroy the function it runs.
  LookAndFeelExceptionReporter reporter = Reporter();
  if (!reporter) std::rethrow_exception(error);
  reporter(error);
}

}  // namespace orlit
