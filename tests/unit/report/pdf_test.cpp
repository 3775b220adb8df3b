#include "report/pdf.h"

#include <gd.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "base/dirswitch.h"
#include "harness.h"

namespace {

// A stand-in converter first on PATH: it records its arguments (after its name) one per line,
// writes the file named after -f, then fails with the status in FAKE_STATUS when set.
const char* fake_htmldoc =
    "#!/bin/sh\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$FAKE_ARGS\"\n"
    "while [ $# -gt 0 ]; do\n"
    "  if [ \"$1\" = -f ]; then printf '%%PDF-fake\\n' > \"$2\"; fi\n"
    "  shift\n"
    "done\n"
    "[ -n \"$FAKE_STATUS\" ] && exit \"$FAKE_STATUS\"\n"
    "exit 0\n";

struct FakeConverter {
    TempDir bin;
    std::string path = bin.path() + ":" + (getenv("PATH") ? getenv("PATH") : "");
    EnvVar on_path{"PATH", path.c_str()};
    EnvVar args{"FAKE_ARGS", bin.file("args").c_str()};
    EnvVar no_env{"HTMLDOCENV", nullptr};

    FakeConverter() {
        bin.write("htmldoc", fake_htmldoc);
        chmod(bin.file("htmldoc").c_str(), 0755);
    }
    std::string recorded() { return bin.exists("args") ? bin.read("args") : "<not run>"; }
};

// A run that wrote a page and two charts, with one older chart beside them.
void leave_run_files(const TempDir& dir, RunState& rs) {
    dir.write("tsgraf.htm", "<html></html>\n");
    dir.write("cpu_2.png", "png");
    dir.write("disk_3.png", "png");
    dir.write("older_9.png", "png");
    rs.pngfiles = {"cpu_2.png", "disk_3.png"};
    rs.wi = 500;
}

}  // namespace

TEST(Pdf, ConverterOptions) {
    struct Case {
        int wi, displaynum;
        const char* env;
        const char* want;
    };
    const Case cases[] = {
        {600, 1, nullptr, "--browserwidth 800"},
        {500, 1, nullptr, "--browserwidth 800"},
        {880, 1, nullptr, "--browserwidth 1000"},
        {881, 1, nullptr, "--browserwidth 1001 --landscape"},
        {900, 1, nullptr, "--browserwidth 1020 --landscape"},
        {400, 2, nullptr, "--browserwidth 1040 --landscape"},
        {900, 1, "--browserwidth 1000", "--browserwidth 1000"},
        // Windows holds no empty variable: setting one removes it.
        {300, 1, "", WINDOWS_BUILD ? "--browserwidth 800" : ""},
    };
    for (const auto& c : cases) {
        EnvVar env("HTMLDOCENV", c.env);
        RunState rs;
        rs.wi = c.wi;
        rs.set_opt().displaynum = c.displaynum;
        EXPECT_EQ(pdf_converter_options(rs), c.want) << c.wi << " " << c.displaynum;
    }
}

TEST(Pdf, FileName) {
    struct Case {
        int htmflag, pdfflag;
        const char* htmfil;
        const char* pdffile;
        const char* want;
    };
    const Case cases[] = {
        {1, 2, "run1.htm", "tsgraf.pdf", "run1.pdf"},
        {1, 2, "RUN1.HTM", "tsgraf.pdf", "RUN1.PDF"},
        {1, 2, "report", "tsgraf.pdf", "report.pdf"},
        {1, 2, "page.html", "tsgraf.pdf", "page.pdf"},
        {1, 2, "PAGE.HTML", "tsgraf.pdf", "PAGE.PDF"},
        {1, 2, "a.htm.old", "tsgraf.pdf", "a.pdf.old"},
        {1, 1, "run1.htm", "REPORT", "REPORT.pdf"},
        {0, 1, "tsgraf.htm", "REPORT", "REPORT.pdf"},
        {0, 1, "tsgraf.htm", "SUMMARY.PDF", "SUMMARY.PDF"},
        {0, 2, "tsgraf.htm", "tsgraf.pdf", "tsgraf.pdf"},
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.set_opt().htmflag = c.htmflag;
        rs.set_opt().pdfflag = c.pdfflag;
        rs.set_opt().htmfil = c.htmfil;
        rs.set_opt().pdffile = c.pdffile;
        EXPECT_EQ(pdf_name(rs), c.want) << c.htmfil << " " << c.pdffile;
    }
}

TEST(Pdf, ConverterGetsAnArgumentVector) {
    SKIP_ON_WINDOWS("stands a shell script in for the converter on PATH");
    struct Case {
        const char* env;
        const char* htmfil;
        const char* printed;
        const char* args;
    };
    const Case cases[] = {
        {nullptr, "tsgraf.htm",
         "htmldoc --webpage --left .5in --browserwidth 800 -f tsgraf.pdf tsgraf.htm\n",
         "--webpage\n--left\n.5in\n--browserwidth\n800\n-f\ntsgraf.pdf.tsgraf-part.pdf\n"
         "tsgraf.htm\n"},
        {" --browserwidth 1000\t--no-toc ", "tsgraf.htm",
         "htmldoc --webpage --left .5in  --browserwidth 1000\t--no-toc  -f tsgraf.pdf "
         "tsgraf.htm\n",
         "--webpage\n--left\n.5in\n--browserwidth\n1000\n--no-toc\n-f\ntsgraf.pdf.tsgraf-part.pdf\n"
         "tsgraf.htm\n"},
        // Names reach the converter whole; nothing in them is run.
        {"", "my page;touch x.htm",
         "htmldoc --webpage --left .5in  -f tsgraf.pdf my page;touch x.htm\n",
         "--webpage\n--left\n.5in\n-f\ntsgraf.pdf.tsgraf-part.pdf\nmy page;touch x.htm\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.htmfil);
        FakeConverter fake;
        EnvVar env("HTMLDOCENV", c.env);
        TempDir dir;
        InDir in(dir.path());
        RunState rs;
        rs.wi = 500;
        rs.set_opt().pdfflag = 2;
        rs.set_opt().htmfil = c.htmfil;
        RunResult r = capture([&] { create_pdf_doc(rs); });
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.out, std::string(c.printed) + "tsgraf.pdf\n");
        EXPECT_EQ(fake.recorded(), c.args);
        EXPECT_FALSE(dir.exists("x.htm"));
    }
}

TEST(Pdf, DeleteRemovesOnlyThisRunsFiles) {
    SKIP_ON_WINDOWS("stands a shell script in for the converter on PATH");
    for (int quiet : {0, 1}) {
        SCOPED_TRACE(quiet);
        FakeConverter fake;
        TempDir dir;
        InDir in(dir.path());
        RunState rs;
        leave_run_files(dir, rs);
        rs.set_opt().pdfflag = 1;
        rs.set_opt().pdffile = "REPORT";
        rs.set_opt().delflag = 1;
        rs.set_opt().qflag = quiet;
        RunResult r = capture([&] { create_pdf_doc(rs); });
        EXPECT_EQ(r.status, -1);
        std::string cmd =
            "htmldoc --webpage --left .5in --browserwidth 800 -f REPORT.pdf tsgraf.htm\n";
        EXPECT_EQ(r.out, quiet
                             ? cmd
                             : cmd + "REPORT.pdf\n\nDeleting the .PNG files and tsgraf.htm ... \n");
        EXPECT_EQ(dir.files(), (std::vector<std::string>{"REPORT.pdf", "older_9.png"}));
    }
}

TEST(Pdf, FailedConverterEndsWithStatusOneAndKeepsFiles) {
    SKIP_ON_WINDOWS("stands a shell script in for the converter on PATH");
    struct Case {
        const char* status;  // nullptr: no converter on PATH at all
        const char* message;
    };
    const Case cases[] = {
        {"3", "\nhtmldoc failed with status 3, tsgraf.pdf was not made\n"},
        {nullptr, "\nCould not start htmldoc: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        TempDir dir, empty;  // made and removed with the usual PATH
        FakeConverter fake;
        EnvVar fails("FAKE_STATUS", c.status);
        EnvVar path("PATH", c.status ? fake.path.c_str() : empty.path().c_str());
        InDir in(dir.path());
        RunState rs;
        leave_run_files(dir, rs);
        dir.write("tsgraf.pdf", "previous");
        rs.set_opt().pdfflag = 2;
        rs.set_opt().delflag = 1;
        RunResult r = capture([&] { create_pdf_doc(rs); });
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out,
                  "htmldoc --webpage --left .5in --browserwidth 800 -f tsgraf.pdf tsgraf.htm\n" +
                      std::string(c.message) + "The .PNG files and tsgraf.htm are kept\n");
        // What a failing converter wrote does not replace the previous PDF.
        EXPECT_EQ(dir.files().size(), 5u);
        EXPECT_EQ(dir.read("tsgraf.pdf"), "previous");
    }
}

TEST(Pdf, ReturnsToTheStartingDirectory) {
    SKIP_ON_WINDOWS("stands a shell script in for the converter on PATH");
    FakeConverter fake;
    TempDir start, outdir;
    InDir in(outdir.path());
    RunState rs;
    rs.wi = 500;
    rs.set_opt().pdfflag = 2;
    rs.set_opt().dirflag = 1;
    rs.set_opt().verbose = 1;
    rs.set_opt().qflag = 1;
    rs.set_opt().curname = start.path();
    RunResult r = capture([&] { create_pdf_doc(rs); });
    EXPECT_EQ(r.status, -1);
    EXPECT_NE(r.out.find("Switched to " + start.path() + "\n"), std::string::npos) << r.out;
    EXPECT_EQ(current_dir(), start.path());
    EXPECT_TRUE(outdir.exists("tsgraf.pdf"));
}

TEST(Pdf, RealConverterMakesAPdf) {
    SKIP_ON_WINDOWS("the converter installed here is a Linux program");
    EnvVar no_env("HTMLDOCENV", nullptr);
    TempDir dir;
    InDir in(dir.path());
    gdImagePtr im = gdImageCreate(40, 20);
    gdImageColorAllocate(im, 255, 255, 255);
    int navy = gdImageColorAllocate(im, 0, 0, 128);
    gdImageLine(im, 0, 19, 39, 0, navy);
    FILE* fp = fopen("cpu_2.png", "wb");
    ASSERT_NE(fp, nullptr);
    gdImagePng(im, fp);
    fclose(fp);
    gdImageDestroy(im);
    dir.write(
        "tsgraf.htm",
        "<html><title>Y8 charts</title><body>\n<center><table>\n"
        "<tr><td width=610><A NAME=\"p2\"><img src=\"cpu_2.png\" alt=\"2 cpu\"></A></td></tr>\n"
        "</table></center></body></html>\n");
    RunState rs;
    rs.wi = 500;
    rs.set_opt().pdfflag = 2;
    rs.set_opt().qflag = 1;
    RunResult r = capture([&] { create_pdf_doc(rs); });
    ASSERT_EQ(r.status, -1) << r.out;
    ASSERT_TRUE(dir.exists("tsgraf.pdf"));
    EXPECT_EQ(dir.read("tsgraf.pdf").substr(0, 4), "%PDF");
}
