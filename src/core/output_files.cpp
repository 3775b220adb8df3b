#include "core/output_files.h"

#include <ctime>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/strings.h"

void get_current_time(const RunState& rs, const char* text) {
    struct tm lt = {};
    local_time(rs.clock.now(), lt);
    out("\n%s %02d:%02d:%02d\n", text, lt.tm_hour, lt.tm_min, lt.tm_sec);
}

void refuse_input_as_output(const RunState& rs, const std::string& name, const char* what,
                            const std::function<void()>& undo) {
    const FileId* input = same_file_as(rs.input_ids, name);
    if (!input) return;
    out("\n%s %s is the same file as input file %s\n", what, name.c_str(), input->name.c_str());
    if (undo) undo();
    end_run(END_ERROR);
}

FILE* open_output(const RunState& rs, const std::string& name) {
    refuse_input_as_output(rs, name);
    FILE* fp = fopen(name.c_str(), "wb");
    if (!fp) out("\nError opening output file, %s\n", name.c_str());
    return fp;
}

static std::string full_name(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    return current_dir() + "/" + name;
}

FILE* open_pending(RunState& rs, const std::string& name, const char* mode) {
    // A device or pipe named as output is written as it is: it has nothing to replace.
    PathKind kind = path_kind(name);
    if (kind != PathKind::NONE && kind != PathKind::REGULAR) return fopen(name.c_str(), mode);
    std::string final = full_name(name);
    std::string tmp = final + ".tsgraf-part";
    FILE* fp = fopen(tmp.c_str(), mode);
    if (fp) rs.pending.push_back({fp, tmp, final});
    return fp;
}

bool finish_output(RunState& rs, FILE* fp, bool written) {
    if (!fp) return true;
    size_t i = 0;
    while (i < rs.pending.size() && rs.pending[i].fp != fp) ++i;
    bool ok = written && ferror(fp) == 0;
    if (fclose(fp) != 0) ok = false;
    if (i == rs.pending.size()) return ok;
    RunState::PendingFile p = rs.pending[i];
    rs.pending.erase(rs.pending.begin() + static_cast<long>(i));
    if (ok) ok = replace_file(p.tmp, p.final);
    if (!ok) std::remove(p.tmp.c_str());
    return ok;
}

void close_output_csv(RunState& rs) {
    FILE* fp = rs.outcsvfp;
    if (!fp) return;
    rs.outcsvfp = nullptr;
    if (!finish_output(rs, fp)) {
        out("\nError writing output CSV file, %s\n", rs.opt().csv_outfil.c_str());
        end_run(END_ERROR);
    }
}

// The run's own handles that point at fp are closed with it.
static void forget_handle(RunState& rs, FILE* fp) {
    for (FILE** h : {&rs.logfp, &rs.htmfp, &rs.outfp, &rs.outfp_csv, &rs.outcsvfp, &rs.htmrfp,
                     &rs.rparfp})
        if (*h == fp) *h = nullptr;
}

void finish_all_outputs(RunState& rs) {
    while (!rs.pending.empty()) {
        FILE* fp = rs.pending.front().fp;
        forget_handle(rs, fp);
        finish_output(rs, fp);
    }
}

void discard_outputs(RunState& rs) {
    for (const RunState::PendingFile& p : rs.pending) {
        forget_handle(rs, p.fp);
        fclose(p.fp);
        std::remove(p.tmp.c_str());
    }
    rs.pending.clear();
}
