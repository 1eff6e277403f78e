#pragma once

#include <iosfwd>
#include <string>

namespace orlit {

// Computes every row of a CSV file whose header is end_date,leave_days,working_days, each by the
// terminal calculation's rules and without opening sites, and writes the rows back as they are
// read, with two more columns: the result date, and the failure as "<class>: <message>". A file
// whose header uses semicolons (as spreadsheets write where the comma is the decimal separator)
// is answered with semicolons.
// Returns 0 when every row succeeded, 1 when any failed (all rows are still written), 2 when the
// input cannot be read, lacks the header or is malformed, with a message on `err` naming the
// input and the line.
int RunBatch(std::istream& in, const std::string& input_name, std::ostream& out, std::ostream& err);

// RunBatch on what an open descriptor reads; a failed read is status 2, not the end of the input.
int RunBatchFromDescriptor(int fd, const std::string& input_name, std::ostream& out,
                           std::ostream& err);

// RunBatch on the file at `path`, or on standard input when `path` is "-".
int RunBatchFile(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace orlit
