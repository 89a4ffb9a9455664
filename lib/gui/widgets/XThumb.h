#pragma once
// A tile's picture: the thumbnail of a file, a folder icon, or a neutral file icon for files that
// are not pictures. set_file (GUI thread) prepares a job; the job's work() decodes the picture on a
// worker thread (shared cache first, scaled decode otherwise) and hands the result back through the
// GUI thread queue. The job is shared: a worker holds it, never the widget, so deleting the widget
// while its picture is decoded is safe (the job is cancelled and its result dropped).
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>
#include <memory>

class QFileInfo;

namespace zem {

class XThumb;

// One decoding request. Fields are written on the GUI thread before the job is handed out and
// only read afterwards; the state and the cancel flag are atomic.
class XThumbJob : public std::enable_shared_from_this<XThumbJob> {
public:
    enum State : int { WAITING = 0, CLAIMED = 1, DONE = 2 };

    QString path;
    int displaySize = 128;
    QPointer<XThumb> owner; // dereferenced on the GUI thread only

    std::atomic<int> state{WAITING};
    std::atomic<bool> cancelled{false};

    // Takes the job for one worker; false when another took it or it is done.
    bool claim();
    // Decodes (worker thread) and posts the result to the owner.
    void work();

    // Read by the owner on the GUI thread when the result arrives.
    struct Result {
        QImage image;     // scaled to fit displaySize; null when the file is not a picture
        QSize pictureSize; // the picture's real size
    };

private:
    Result decode();
    // Filled by the worker from the file itself.
    qint64 mtime = 0; // seconds since the epoch
    qint64 fileSize = 0;
};

class XThumb : public QWidget {
    Q_OBJECT
public:
    explicit XThumb(QWidget* parent = nullptr);
    ~XThumb() override;

    // Shows the file at size x size pixels. Directory-ness comes from fi (the listing knows it);
    // the worker reads time and size. Folders and files that are no pictures are done at once.
    void set_file(const QFileInfo& fi, int size);
    void set_file(const QString& absPath, int size);

    // Loads the picture now, on the calling thread (a worker's); see XThumbJob::work.
    void work();
    std::shared_ptr<XThumbJob> job() const { return m_job; }
    // A job cancelled while this widget still waits (its loader was reset, the wall stays) is
    // replaced by a fresh one, so the picture can still be loaded. GUI thread.
    void renew_cancelled_job();

    // Lets go of a loaded picture (the tile scrolled far out of view) and waits for loading
    // again; the caption's picture size stays. Bounds the memory of a wall of thousands of
    // pictures; reloading comes from the shared thumbnail cache. GUI thread.
    void release_picture();

    bool is_directory() const { return m_kind == DIRECTORY; }
    bool is_picture() const { return !m_image.isNull(); }
    // True while the picture still waits for loading.
    bool is_ini() const { return m_kind == PICTURE && m_waiting; }
    QSize picture_size() const { return m_pictureSize; }
    const QImage& image() const { return m_image; }
    int size() const { return m_size; }
    QString path() const { return m_path; }

    // Whether a file name may be a picture this program can read (by its extension).
    static bool has_picture_suffix(const QString& fileName);

    QSize sizeHint() const override { return QSize(m_size, m_size); }

Q_SIGNALS:
    // The picture arrived (or turned out not to be one); GUI thread.
    void loaded();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    enum Kind { DIRECTORY, PICTURE, OTHER };
    friend class XThumbJob;
    void start_job(const QString& absPath);
    void on_loaded(const XThumbJob::Result& result);
    void drop_job();

    QString m_path;
    int m_size = 128;
    Kind m_kind = OTHER;
    bool m_waiting = false;
    QImage m_image;
    QSize m_pictureSize;
    std::shared_ptr<XThumbJob> m_job;
};

} // namespace zem
