// The only place that calls the metadata library.
#include "platform/exif.h"

#include "platform/names.h"
#include "platform/posix_filesystem.h"
#include "platform/sharedwork.h"

#include <atomic>
#include <exiv2/exiv2.hpp>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names between two reports of progress.
constexpr qint64 ProgressEvery = 64;

// The library keeps state of its own that must be set up once before two
// threads read: its XMP parser, and its warnings about odd files, which
// would otherwise go to standard error.
void PrepareLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

// Reads two digits of text from position at; -1 where they are not digits.
int TwoDigits(std::string_view text, size_t at)
{
    if (at + 2 > text.size())
        return -1;
    const char a = text[at], b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

// An open regular file mapped into memory, unmapped and closed at the end.
class MappedFile final
{
public:
    MappedFile(int folderFd, const char *name)
    {
        m_fd = openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        struct stat st;
        if (m_fd < 0 || fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0)
            return;
        void *data = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, m_fd, 0);
        if (data == MAP_FAILED)
            return;
        m_data = static_cast<const Exiv2::byte *>(data);
        m_size = size_t(st.st_size);
    }
    ~MappedFile()
    {
        if (m_data)
            munmap(const_cast<Exiv2::byte *>(m_data), m_size);
        if (m_fd >= 0)
            close(m_fd);
    }
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    const Exiv2::byte *data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    int m_fd = -1;
    const Exiv2::byte *m_data = nullptr;
    size_t m_size = 0;
};

} // namespace

QDate ParseExifDate(std::string_view text)
{
    if (text.size() < 10 || TwoDigits(text, 0) < 0 || TwoDigits(text, 2) < 0)
        return {};
    const int year = TwoDigits(text, 0) * 100 + TwoDigits(text, 2);
    const int month = TwoDigits(text, 5);
    const int day = TwoDigits(text, 8);
    // Cameras without a clock write zeros; QDate knows no year 0 either.
    if (year == 0)
        return {};
    return QDate(year, month, day);
}

QDate ReadExifShootingDate(int folderFd, const QByteArray &name)
{
    PrepareLibrary();
    // The file is opened once, as a regular file, and mapped: the library
    // reads the parts it needs, and large raw files cost only those pages.
    const MappedFile file(folderFd, name.constData());
    if (!file.data())
        return {};
    try {
        const Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(file.data(), long(file.size()));
        if (!image.get())
            return {};
        image->readMetadata();
        const Exiv2::ExifData &exif = image->exifData();
        for (const char *key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized"}) {
            const auto found = exif.findKey(Exiv2::ExifKey(key));
            if (found == exif.end())
                continue;
            const QDate date = ParseExifDate(found->toString());
            if (date.isValid())
                return date;
        }
    } catch (...) {
        // A damaged or unknown file: the library throws its own errors and
        // std::bad_alloc alike. It simply has no date.
    }
    return {};
}

QDate PosixFileSystem::ReadShootingDate(const FolderHandle &folder, const QString &name)
{
    return folder.isOpen() ? ReadExifShootingDate(folder.descriptor(), EncodeName(name)) : QDate();
}

std::optional<std::vector<QDate>>
PosixFileSystem::ReadShootingDates(const FolderHandle &folder, const std::vector<QString> &names,
                                   const std::function<bool(qint64)> &progress)
{
    std::vector<QDate> dates(names.size());
    if (!folder.isOpen())
        return dates;
    PrepareLibrary();
    // Both threads take the next name from one counter rather than half the
    // list each, so that the calling thread, which alone reports, keeps
    // reporting until the last name is taken, however the time is shared.
    std::atomic<size_t> next = 0;
    std::atomic<bool> stopped = false;
    ShareOut(names.size(), [&](size_t first, size_t) {
        const bool reports = progress && first == 0;
        qint64 taken = 0;
        for (size_t i = next++; i < names.size() && !stopped; i = next++) {
            dates[i] = ReadExifShootingDate(folder.descriptor(), EncodeName(names[i]));
            if (reports && ++taken % ProgressEvery == 0 &&
                !progress(qint64(std::min(next.load(), names.size()))))
                stopped = true;
        }
    });
    if (stopped)
        return std::nullopt;
    return dates;
}
