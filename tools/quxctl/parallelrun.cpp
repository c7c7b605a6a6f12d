#include "parallelrun.h"

#include <QEventLoop>
#include <QThread>

#include <memory>
#include <vector>

namespace QuxCtl {

void runInParallel(int count, int jobs, const std::function<void(int)> &work)
{
    if (count <= 0)
        return;
    if (jobs <= 0 || jobs > count)
        jobs = count;

    std::vector<std::unique_ptr<QThread>> threads;
    QEventLoop loop;
    int next = 0;
    int running = 0;
    std::function<void()> startNext = [&] {
        const int index = next++;
        threads.emplace_back(QThread::create([&work, index] { work(index); }));
        QThread *thread = threads.back().get();
        ++running;
        // Delivered in this thread: the next port starts from here, never from a worker.
        QObject::connect(thread, &QThread::finished, &loop, [&] {
            --running;
            if (next < count)
                startNext();
            else if (running == 0)
                loop.quit();
        });
        thread->start();
    };
    while (next < jobs)
        startNext();
    loop.exec();
    for (const std::unique_ptr<QThread> &thread : threads)
        thread->wait();
}

} // namespace QuxCtl
