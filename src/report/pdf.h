// Converting the HTML page to PDF.
#pragma once
#include "run/run_state.h"

void create_pdf_doc(RunState& rs);
