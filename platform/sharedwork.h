#pragma once

#include <cstddef>
#include <system_error>
#include <thread>

// Runs work(first, last) over [0, count), sharing a large count out between
// this thread and a second one where one can be had. For work whose every
// index waits on the kernel or is costly on its own, where two cores pay.
template<typename Work> void ShareOut(std::size_t count, Work work)
{
    constexpr std::size_t ParallelFrom = 4096;
    std::size_t shared = count;
    std::thread helper;
    if (count >= ParallelFrom && std::thread::hardware_concurrency() > 1) {
        try {
            helper = std::thread(work, count / 2, count);
            shared = count / 2;
        } catch (const std::system_error &) {
            // No thread to be had: this one does it all.
        }
    }
    work(0, shared);
    if (helper.joinable())
        helper.join();
}
