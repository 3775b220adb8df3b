// Chart files on their way to the disk. Once a chart is drawn, compressing and writing
// it depends on nothing else, so that is done on worker threads while the next chart is
// drawn; the files are finished (and reported) in the order the charts were drawn.
#pragma once
#include <gd.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "chart/encode.h"

class ChartFiles {
public:
    // threads: how many threads work on charts, the drawing one included; with 1 each
    // chart is written before the next one is drawn.
    explicit ChartFiles(int threads);
    ~ChartFiles();
    ChartFiles(const ChartFiles&) = delete;
    ChartFiles& operator=(const ChartFiles&) = delete;

    // Takes over im (destroyed once written) and the open file fp of the chart name.
    void submit(gdImagePtr im, FILE* fp, const std::string& name);

    struct Written {
        FILE* fp;
        std::string name;
        bool ok;  // the whole file reached fp
    };
    // The oldest chart not yet taken once it is written. It is waited for when wait is
    // set or when too many charts are on their way; otherwise false when it is not yet
    // written. False when no chart is left.
    bool take(Written& w, bool wait);

    // The number of threads a run uses unless told otherwise: one per processor.
    static int default_threads();

private:
    struct Job {
        gdImagePtr im;
        FILE* fp;
        std::string name;
        size_t pixels;
        bool done = false, ok = false;
    };
    static void write(Job& job, PngEncoder& encoder, std::vector<unsigned char>& png);
    void work();
    bool full() const;

    PngEncoder encoder_;  // of the drawing thread, when it writes the charts itself
    std::vector<unsigned char> png_;  // its file bytes
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable work_ready_, job_done_;
    std::deque<std::unique_ptr<Job>> jobs_;  // drawn and not yet taken, oldest first
    std::deque<Job*> todo_;                  // not yet started
    size_t pixels_ = 0;                      // of the images held by jobs_
    bool stopping_ = false;
};
