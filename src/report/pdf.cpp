#include "report/pdf.h"

void create_pdf_doc(RunState&) {}
