#pragma once
// The XML preview: elements as an expandable tree with their attributes and text. A file that
// is not well-formed is not guessed at: the preview says what is wrong and where, and
// open_file returns false so that the file goes to the text preview.
#include "Preview.h"

class QLabel;
class QStackedWidget;
class QTreeWidget;

namespace zem {

class PreviewXml : public Preview {
    Q_OBJECT
public:
    // Larger trees are cut (the rest is marked as left out) so that a huge file stays usable.
    static constexpr int kMaxItems = 200000;
    // Up to this size can_handle_file parses the file; larger files are judged by extension.
    static constexpr qint64 kCheckBytes = qint64(8) << 20;

    explicit PreviewXml(QWidget* parent = nullptr);
    ~PreviewXml() override;

    unsigned get_category() const override { return kCategoryXml; }
    void ini() override;
    void set_font(const QFont& font) override;
    QFont get_font() const override;
    bool can_handle_file(const QFileInfo& fi) override;
    bool open_file(const QFileInfo& fi) override;
    bool set_mem_file(const XMemFile& mem) override;
    QString type() const override { return QStringLiteral("PreviewXml"); }
    QString name() const override { return QStringLiteral("XML"); }
    void close() override;

    // The message shown for a malformed file, empty when the tree is shown.
    QString error_text() const { return m_error; }
    QTreeWidget* tree() const { return m_tree; }

    // Empty when bytes are well-formed XML, else "message (line L, column C)".
    static QString check(const QByteArray& bytes);

private:
    bool show_bytes(const QByteArray& bytes);

    QStackedWidget* m_stack = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_message = nullptr;
    QString m_error;
};

} // namespace zem
