#include "decode/EarlyPicture.h"

#include "decode/FastScale.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <thread>

namespace
{

struct Stamp {
    qint64 size = -1;
    QDateTime modified, changed;
    bool operator==(const Stamp &o) const = default;
};

Stamp stampOf(const QString &path)
{
    const QFileInfo fi(path);
    Stamp s;
    if (fi.isFile()) {
        s.size = fi.size();
        s.modified = fi.lastModified();
        s.changed = fi.metadataChangeTime();
    }
    return s;
}

bool startsLikeJpeg(const QString &path)
{
    QFile f(path);
    char head[3];
    return f.open(QIODevice::ReadOnly) && f.read(head, 3) == 3 && uchar(head[0]) == 0xFF &&
           uchar(head[1]) == 0xD8 && uchar(head[2]) == 0xFF;
}

enum class Phase { Idle, Choosing, Decoding, Done, Taken };

struct Shared {
    QMutex mutex;
    QWaitCondition changed;
    Phase phase = Phase::Idle;
    bool appReady = false;
    QSize screen;
    EarlyPicture::Request request;
    Stamp stamp;
    bool ok = false;
    PictureData picture;
    std::thread thread;

    ~Shared()
    {
        if (thread.joinable())
            thread.join();
    }
};

Shared &shared()
{
    static Shared s;
    return s;
}

void run(std::function<EarlyPicture::Request()> choose)
{
    Shared &s = shared();
    const EarlyPicture::Request request = choose();
    QMutexLocker lock(&s.mutex);
    s.request = request;
    if (request.path.isEmpty() || s.phase == Phase::Taken) {
        s.phase = Phase::Taken; // nothing to hand over
        s.changed.wakeAll();
        return;
    }
    s.phase = Phase::Decoding;
    s.changed.wakeAll();
    const bool jpeg = startsLikeJpeg(request.path);
    // Without a bound, or for a format Qt's plug-ins read, wait for the
    // application object (and its screen).
    while ((request.bound.isEmpty() || !jpeg) && !s.appReady && s.phase != Phase::Taken)
        s.changed.wait(&s.mutex);
    LoadOptions options;
    options.maxSize = request.bound.isEmpty() ? s.screen : request.bound;
    if (s.phase == Phase::Taken || options.maxSize.isEmpty()) {
        s.phase = Phase::Taken;
        s.changed.wakeAll();
        return;
    }
    options.autoRotate = request.autoRotate;
    options.reducedOnly = true;
    options.jpegOnly = !s.appReady;
    lock.unlock();

    const Stamp before = stampOf(request.path);
    PictureData picture;
    const bool ok = LoadPictureFile(request.path, picture, options);

    lock.relock();
    if (s.phase != Phase::Taken) { // not released meanwhile
        s.stamp = before;
        s.ok = ok;
        s.picture = std::move(picture);
        s.phase = Phase::Done;
    }
    s.changed.wakeAll();
}

} // namespace

namespace EarlyPicture
{

void begin(std::function<Request()> choose)
{
    // Qt takes the first thread that asks for its thread data as the main
    // thread; that must be this one, not the early thread.
    QThread::currentThread();
    Shared &s = shared();
    QMutexLocker lock(&s.mutex);
    if (s.phase != Phase::Idle)
        return;
    s.phase = Phase::Choosing;
    s.thread = std::thread(run, std::move(choose));
}

void applicationReady(QSize screen)
{
    Shared &s = shared();
    QMutexLocker lock(&s.mutex);
    s.appReady = true;
    s.screen = screen;
    s.changed.wakeAll();
}

bool take(const QString &path, const LoadOptions &options, PictureData &out)
{
    Shared &s = shared();
    QMutexLocker lock(&s.mutex);
    while (s.phase == Phase::Choosing)
        s.changed.wait(&s.mutex);
    if (s.phase == Phase::Idle || s.phase == Phase::Taken || s.request.path != path ||
        s.request.autoRotate != options.autoRotate)
        return false;
    while (s.phase == Phase::Decoding)
        s.changed.wait(&s.mutex);
    s.phase = Phase::Taken;
    PictureData picture = std::move(s.picture);
    s.picture = PictureData();
    if (!s.ok || !(stampOf(path) == s.stamp))
        return false;
    lock.unlock();

    const QSize want =
        options.maxSize.isEmpty() ? picture.naturalSize : FitDecodeSize(picture.naturalSize, options.maxSize);
    const QSize have = picture.image.size();
    if (have.width() < want.width() || have.height() < want.height())
        return false;                      // decoded for a smaller window than it is shown in
    if (!picture.animated && have != want) // the other core is free by now
        picture.image = ShrinkImage(picture.image, want, 2);
    out = std::move(picture);
    return true;
}

void release()
{
    Shared &s = shared();
    {
        QMutexLocker lock(&s.mutex);
        if (s.phase == Phase::Idle)
            return;
        s.phase = Phase::Taken;
        s.picture = PictureData();
        s.changed.wakeAll();
    }
    if (s.thread.joinable() && s.thread.get_id() != std::this_thread::get_id())
        s.thread.join();
}

} // namespace EarlyPicture
