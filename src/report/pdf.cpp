#include "report/pdf.h"


#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"

std::string pdf_converter_options(const RunState& rs) {
    if (const char* env = std::getenv("HTMLDOCENV")) return env;
    int width = (rs.wi + 120) * rs.opt().displaynum;
    if (width > 1000) return strfmt("--browserwidth %d --landscape", width);
    if (width < 800) width = 800;
    return strfmt("--browserwidth %d", width);
}

// Replaces the first "from" by "to". A page named "x.html" gives "x.pdf" rather than
// "x.pdfl": the "l" after the replaced extension goes with it.
static void replace_extension(std::string& name, const char* from, const char* to) {
    size_t at = name.find(from);
    if (at == std::string::npos) return;
    size_t len = std::strlen(from);
    if (at + len + 1 == name.size() && (name[at + len] == 'l' || name[at + len] == 'L')) ++len;
    name.replace(at, len, to);
}

std::string pdf_name(const RunState& rs) {
    std::string name = rs.opt().htmflag && rs.opt().pdfflag == 2 ? rs.opt().htmfil : rs.opt().pdffile;
    replace_extension(name, ".htm", ".pdf");
    replace_extension(name, ".HTM", ".PDF");
    if (name.find(".pdf") == std::string::npos && name.find(".PDF") == std::string::npos)
        name += ".pdf";
    return name;
}

std::vector<std::string> htmldoc_args(const std::string& options, const std::string& pdf,
                                      const std::string& htm) {
    std::vector<std::string> args = {"htmldoc", "--webpage", "--left", ".5in"};
    // The options are words separated by white space, as a shell would have split them.
    std::istringstream words(options);
    for (std::string w; words >> w;) args.push_back(w);
    args.insert(args.end(), {"-f", pdf, htm});
    return args;
}

static bool file_present(const std::string& name) {
    return path_kind(name) != PathKind::NONE;
}

static void leave_output_dir(RunState& rs) {
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, "2", rs.opt().verbose);
}

std::string pending_pdf_name(const std::string& pdf) {
    // A device named as output is written as it is; a file is made beside its final
    // name. The converter picks the format from the extension, so ".pdf" stays last.
    PathKind kind = path_kind(pdf);
    if (kind != PathKind::NONE && kind != PathKind::REGULAR) return pdf;
    return pdf + ".tsgraf-part.pdf";
}

void create_pdf_doc(RunState& rs) {
    std::string options = pdf_converter_options(rs);
    std::string pdf = pdf_name(rs);
    std::string making = pending_pdf_name(pdf);
    out("htmldoc --webpage --left .5in %s -f %s %s\n", options.c_str(), pdf.c_str(),
        rs.opt().htmfil.c_str());
    int status = run_program(htmldoc_args(options, making, rs.opt().htmfil));
    // The previous PDF is replaced only by a complete one.
    if (making != pdf) {
        if (status == 0 && file_present(making) && !replace_file(making, pdf)) {
            out("\nError writing output file, %s\n", pdf.c_str());
            status = -2;
        }
        std::remove(making.c_str());
    }
    if (status != 0) {
        // Without a PDF the page and the charts are the only copy of the results: keep them.
        if (status == -1)
            out("\nCould not start htmldoc: %s\n", std::strerror(errno));
        else if (status > 0)
            out("\nhtmldoc failed with status %d, %s was not made\n", status, pdf.c_str());
        if (rs.opt().delflag) out("The .PNG files and %s are kept\n", rs.opt().htmfil.c_str());
        leave_output_dir(rs);
        end_run(END_ERROR);
    }
    if (!rs.opt().qflag && file_present(pdf)) out("%s\n", pdf.c_str());
    if (rs.opt().delflag) {
        if (!rs.opt().qflag) out("\nDeleting the .PNG files and %s ... \n", rs.opt().htmfil.c_str());
        std::remove(rs.opt().htmfil.c_str());
        for (const auto& png : rs.pngfiles) std::remove(png.c_str());
    }
    leave_output_dir(rs);
}
