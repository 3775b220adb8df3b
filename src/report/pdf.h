// Converting the HTML page to PDF with the outside htmldoc program.
#pragma once
#include <string>
#include <vector>

#include "core/run_state.h"

// The converter options: HTMLDOCENV when set, else a browser width fitting the charts.
std::string pdf_converter_options(const RunState& rs);
// The PDF file's name, from /pdf or, for /pdf without a value, from the page's name.
std::string pdf_name(const RunState& rs);
// The argument vector htmldoc is started with.
std::vector<std::string> htmldoc_args(const std::string& options, const std::string& pdf,
                                      const std::string& htm);
// Runs htmldoc on the page, lists the PDF, and with ":D" deletes the page and this run's
// PNG files. A converter that cannot be started or fails ends the run with status 1 and
// deletes nothing.
void create_pdf_doc(RunState& rs);
