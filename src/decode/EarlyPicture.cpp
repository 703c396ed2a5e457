#include "decode/EarlyPicture.h"

#include "decode/FastScale.h"
#include "decode/FormatModule.h"
#include "decode/FormatNames.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <optional>
#include <thread>
#include <vector>

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

// Receives the calls for the main thread, so that they can be delivered on
// their own (deliverReady) without running anything else queued there.
QObject *courier()
{
    static QObject *c = new QObject; // first made by begin(), on the main thread
    return c;
}

// Runs `f` on the main thread, from its event loop.
void post(const std::function<void()> &f)
{
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(courier(), f, Qt::QueuedConnection);
}

enum class Phase {
    Idle,     // never begun
    Choosing, // finding the picture
    Decoding, // decoding it at the reduced size
    Decoded,  // reduced picture held, final size not known yet
    Scaling,  // shrinking to the final size on the early thread
    Ready,    // final picture held
    Taken     // handed over, released, or nothing to do
};

struct Shared {
    QMutex mutex;
    QWaitCondition changed;
    Phase phase = Phase::Idle;
    bool appReady = false;
    QSize screen;
    EarlyPicture::Request request;
    QSize decodedFor; // the area the picture was decoded (or shrunk) for
    std::optional<LoadOptions> expected;
    Stamp stamp;
    bool ok = false;
    PictureData picture;
    std::vector<std::function<void()>> whenReady;
    std::thread thread;

    ~Shared()
    {
        if (thread.joinable())
            thread.join();
    }

    // Under mutex, with the thread gone: as before begin().
    void reset()
    {
        phase = Phase::Idle;
        appReady = false;
        screen = QSize();
        request = EarlyPicture::Request();
        decodedFor = QSize();
        expected.reset();
        stamp = Stamp();
        ok = false;
        picture = PictureData();
        whenReady.clear();
        thread = std::thread();
    }

    // Under mutex: the phase moves on; callers waiting for it are told.
    void enter(Phase p)
    {
        phase = p;
        changed.wakeAll();
        if (p == Phase::Ready || p == Phase::Taken || p == Phase::Decoded) {
            for (auto &f : whenReady)
                post(f);
            whenReady.clear();
        }
    }
};

Shared &shared()
{
    static Shared s;
    return s;
}

// The size the early picture is handed over at for `options`; invalid when
// the usual decode must be done instead. The size it is shown at when the
// picture covers that; otherwise the picture as it is, when it was decoded
// for an area at least as large: the usual decode would find no more in
// the file (a RAW's preview smaller than the window, say).
QSize handOverSize(const PictureData &picture, const LoadOptions &options, QSize decodedFor)
{
    const QSize want =
        options.maxSize.isEmpty() ? picture.naturalSize : FitDecodeSize(picture.naturalSize, options.maxSize);
    const QSize have = picture.image.size();
    if (have.width() >= want.width() && have.height() >= want.height())
        return want;
    const QSize area = options.maxSize;
    if (area.isEmpty() || decodedFor.width() < area.width() || decodedFor.height() < area.height())
        return QSize();
    return FitDecodeSize(have, want);
}

void run(std::function<EarlyPicture::Request()> choose)
{
    Shared &s = shared();
    const EarlyPicture::Request request = choose();
    QMutexLocker lock(&s.mutex);
    s.request = request;
    if (request.path.isEmpty() || s.phase == Phase::Taken) {
        s.enter(Phase::Taken); // nothing to hand over
        return;
    }
    s.enter(Phase::Decoding);
    const bool jpeg = startsLikeJpeg(request.path);
    if (const std::optional<FormatModuleKind> module = FormatModuleFor(request.path); !jpeg && module) {
        // Its libraries load here while the application object is made.
        lock.unlock();
        FormatModule(*module);
        lock.relock();
    }
    // A RAW's preview goes through the JPEG decoder too.
    const bool withoutQt = jpeg || HasRawExtension(request.path);
    // Without a bound, or for a format Qt's plug-ins read, wait for the
    // application object (and its screen).
    while ((request.bound.isEmpty() || !withoutQt) && !s.appReady && s.phase != Phase::Taken)
        s.changed.wait(&s.mutex);
    LoadOptions options;
    options.maxSize = request.bound.isEmpty() ? s.screen : request.bound;
    if (s.phase == Phase::Taken || options.maxSize.isEmpty()) {
        s.enter(Phase::Taken);
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
    if (s.phase == Phase::Taken) // released meanwhile
        return;
    s.stamp = before;
    s.ok = ok;
    s.picture = std::move(picture);
    s.decodedFor = options.maxSize;
    // Told the size before the decode ended: the window is up and the main
    // thread waits, so the shrink may take both cores.
    const int threads = s.expected ? 2 : 1;
    if (ok && s.expected)
        s.phase = Phase::Decoded; // straight on to the shrink: nobody need look yet
    else
        s.enter(Phase::Decoded);
    // Shrink to the final size here once the window tells it, unless the
    // picture is taken first.
    while (s.ok && s.phase == Phase::Decoded && !s.expected)
        s.changed.wait(&s.mutex);
    if (s.phase != Phase::Decoded || !s.ok)
        return;
    const QSize want = handOverSize(s.picture, *s.expected, s.decodedFor);
    if (s.picture.animated || !want.isValid() || s.picture.image.size() == want) {
        s.enter(Phase::Ready); // nothing to shrink, or take() refuses it
        return;
    }
    s.enter(Phase::Scaling);
    const QImage reduced = s.picture.image;
    lock.unlock();
    const QImage shrunk = ShrinkImage(reduced, want, threads);
    lock.relock();
    if (s.phase != Phase::Scaling)
        return;
    s.picture.image = shrunk;
    s.decodedFor = s.expected->maxSize; // no longer more than that
    s.enter(Phase::Ready);
}

} // namespace

namespace EarlyPicture
{

void begin(std::function<Request()> choose)
{
    // Qt takes the first thread that asks for its thread data as the main
    // thread; that must be this one, not the early thread.
    QThread::currentThread();
    courier();
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

void expect(const LoadOptions &options)
{
    Shared &s = shared();
    QMutexLocker lock(&s.mutex);
    if (s.phase == Phase::Idle || s.phase == Phase::Taken)
        return;
    s.expected = options;
    s.changed.wakeAll();
}

bool busy(const QString &path)
{
    Shared &s = shared();
    QMutexLocker lock(&s.mutex);
    while (s.phase == Phase::Choosing)
        s.changed.wait(&s.mutex);
    // The shrink to the window's size is left to run too: the window is
    // put on screen meanwhile, on the other core.
    return s.request.path == path && (s.phase == Phase::Decoding || s.phase == Phase::Scaling);
}

bool working()
{
    Shared &s = shared();
    QMutexLocker lock(&s.mutex);
    return s.phase == Phase::Choosing || s.phase == Phase::Decoding || s.phase == Phase::Scaling;
}

void whenReady(std::function<void()> done)
{
    Shared &s = shared();
    QMutexLocker lock(&s.mutex);
    if (s.phase == Phase::Decoding || s.phase == Phase::Scaling || s.phase == Phase::Choosing)
        s.whenReady.push_back(std::move(done));
    else
        post(done);
}

void deliverReady()
{
    if (QCoreApplication::instance())
        QCoreApplication::sendPostedEvents(courier(), QEvent::MetaCall);
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
    while (s.phase == Phase::Decoding || s.phase == Phase::Scaling)
        s.changed.wait(&s.mutex);
    PictureData picture = std::move(s.picture);
    s.picture = PictureData();
    const bool ok = s.ok && stampOf(path) == s.stamp;
    const QSize decodedFor = s.decodedFor;
    s.enter(Phase::Taken);
    if (!ok)
        return false;
    lock.unlock();

    const QSize want = handOverSize(picture, options, decodedFor);
    if (!want.isValid())
        return false;                                      // decoded for a smaller window than it is shown in
    if (!picture.animated && picture.image.size() != want) // the other core is free by now
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
        s.picture = PictureData();
        s.enter(Phase::Taken);
    }
    if (s.thread.joinable() && s.thread.get_id() != std::this_thread::get_id())
        s.thread.join();
    QMutexLocker lock(&s.mutex);
    s.reset(); // ready to begin again
}

} // namespace EarlyPicture
