#include "chart/chart_files.h"

#include <algorithm>

namespace {

// Charts on their way at most: enough to keep every worker busy while the next chart
// is drawn, few enough that memory stays small also for very large charts.
constexpr size_t JOBS_PER_WORKER = 2;
constexpr size_t MAX_PIXELS_ON_THE_WAY = size_t(64) << 20;

}  // namespace

int ChartFiles::default_threads() {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(std::min(n, 64u));
}

ChartFiles::ChartFiles(int threads) {
    for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

ChartFiles::~ChartFiles() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& t : workers_) t.join();
    for (auto& job : jobs_)
        if (job->im) gdImageDestroy(job->im);
}

void ChartFiles::write(Job& job, PngEncoder& encoder, std::vector<unsigned char>& png) {
    job.ok = encoder.encode(job.im, png) &&
             fwrite(png.data(), 1, png.size(), job.fp) == png.size() && fflush(job.fp) == 0;
    gdImageDestroy(job.im);
    job.im = nullptr;
}

void ChartFiles::work() {
    PngEncoder encoder;
    std::vector<unsigned char> png;  // kept from chart to chart, like the encoder
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // Charts already drawn are written also when the run is ending.
        work_ready_.wait(lock, [this] { return stopping_ || !todo_.empty(); });
        if (todo_.empty()) return;
        Job* job = todo_.front();
        todo_.pop_front();
        lock.unlock();
        write(*job, encoder, png);
        lock.lock();
        job->done = true;
        job_done_.notify_all();
    }
}

void ChartFiles::submit(gdImagePtr im, FILE* fp, const std::string& name) {
    auto job = std::make_unique<Job>();
    job->im = im;
    job->fp = fp;
    job->name = name;
    job->pixels = static_cast<size_t>(gdImageSX(im)) * static_cast<size_t>(gdImageSY(im));
    if (workers_.empty()) {
        write(*job, encoder_, png_);
        job->done = true;
    }
    Job* todo = job->done ? nullptr : job.get();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
        pixels_ += jobs_.back()->pixels;
        if (todo) todo_.push_back(todo);
    }
    if (todo) work_ready_.notify_one();
}

// Called by take() with the lock held. jobs_ and pixels_ are changed by the drawing
// thread alone (submit and take), so it could read them without the lock too.
bool ChartFiles::full() const {
    return jobs_.size() > JOBS_PER_WORKER * workers_.size() || pixels_ > MAX_PIXELS_ON_THE_WAY;
}

bool ChartFiles::take(Written& w, bool wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (jobs_.empty()) return false;
    Job& oldest = *jobs_.front();
    if (!oldest.done) {
        if (!wait && !full()) return false;
        job_done_.wait(lock, [&oldest] { return oldest.done; });
    }
    w = {oldest.fp, oldest.name, oldest.ok};
    pixels_ -= oldest.pixels;
    jobs_.pop_front();
    return true;
}
