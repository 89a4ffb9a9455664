#include "PreviewXml.h"

#include "Logger.h"
#include "XLang.h"
#include "XLineReaderDA.h"

#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QXmlStreamReader>

namespace zem {

namespace {
// Long texts are cut in the tree; the text preview shows them whole.
constexpr int kMaxValueChars = 300;

QString shortened(QString s)
{
    s = s.simplified();
    if (s.size() > kMaxValueChars)
        s = s.left(kMaxValueChars) + QChar(0x2026);
    return s;
}
} // namespace

PreviewXml::PreviewXml(QWidget* parent) : Preview(parent)
{
    set_kind(Kind::Xml);
    set_file_extensions({"xml", "xsd", "xsl", "xslt", "xhtml", "plist", "ui", "qrc", "ts", "csproj", "vcxproj",
                         "props", "targets", "resx", "xaml", "kml", "gpx", "rss", "atom", "wsdl", "pom", "fxml"});
    m_stack = new QStackedWidget(this);
    m_tree = new QTreeWidget(m_stack);
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({xt("Node"), xt("Value")});
    m_tree->setUniformRowHeights(true);
    m_tree->setAlternatingRowColors(true);
    m_tree->header()->setStretchLastSection(true);
    m_message = new QLabel(m_stack);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_message->setMargin(24);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_stack->addWidget(m_tree);
    m_stack->addWidget(m_message);
}

PreviewXml::~PreviewXml() = default;

void PreviewXml::ini()
{
    if (layout())
        return;
    Preview::ini();
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_stack);
}

void PreviewXml::set_font(const QFont& font)
{
    m_tree->setFont(font);
}

QFont PreviewXml::get_font() const
{
    return m_tree->font();
}

QString PreviewXml::check(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        xml.readNext();
    if (!xml.hasError())
        return QString();
    return xprintF(xt("$ (line $, column $)"), xml.errorString(), xml.lineNumber(), xml.columnNumber());
}

bool PreviewXml::can_handle_file(const QFileInfo& fi)
{
    if (!fi.isFile() || !get_file_extensions().contains(fi.suffix().toLower()))
        return false;
    if (fi.size() > kCheckBytes)
        return true;
    XLineReaderDA reader;
    if (!reader.openFile(fi.absoluteFilePath()))
        return false;
    return check(QByteArray::fromRawData(reader.data(), int(reader.size()))).isEmpty();
}

bool PreviewXml::show_bytes(const QByteArray& bytes)
{
    m_tree->clear();
    m_error.clear();
    QXmlStreamReader xml(bytes);
    QTreeWidgetItem* parent = nullptr;
    QList<QTreeWidgetItem*> top;
    int items = 0;
    bool cut = false;
    auto add = [&](const QString& node, const QString& value) -> QTreeWidgetItem* {
        ++items;
        auto* item = new QTreeWidgetItem({node, value});
        if (parent)
            parent->addChild(item);
        else
            top.push_back(item);
        return item;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (items >= kMaxItems) {
            cut = true;
            continue;  // still read on, so that an error later in the file is reported
        }
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement: {
            QTreeWidgetItem* item = add(QLatin1Char('<') + xml.qualifiedName().toString() + QLatin1Char('>'), QString());
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                auto* attr = new QTreeWidgetItem({QLatin1Char('@') + a.qualifiedName().toString(), shortened(a.value().toString())});
                attr->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
                item->addChild(attr);
                ++items;
            }
            parent = item;
            break;
        }
        case QXmlStreamReader::EndElement:
            if (parent) {
                // A leaf element shows its text beside its name instead of as a child.
                if (parent->childCount() == 1 && parent->child(0)->text(0) == QLatin1String("#text")) {
                    parent->setText(1, parent->child(0)->text(1));
                    delete parent->takeChild(0);
                }
                parent = parent->parent();
            }
            break;
        case QXmlStreamReader::Characters:
            if (!xml.isWhitespace())
                add(QStringLiteral("#text"), shortened(xml.text().toString()));
            break;
        case QXmlStreamReader::Comment:
            add(QStringLiteral("#comment"), shortened(xml.text().toString()));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            add(QStringLiteral("<?") + xml.processingInstructionTarget().toString() + QStringLiteral("?>"),
                shortened(xml.processingInstructionData().toString()));
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        qDeleteAll(top);
        m_error = xprintF(xt("$ (line $, column $)"), xml.errorString(), xml.lineNumber(), xml.columnNumber());
        m_message->setText(xprintF(xt("This file is not well-formed XML:\n$\n\nThe text preview shows it as it is."), m_error));
        m_stack->setCurrentWidget(m_message);
        xlog(LOG_WARN, "PreviewXml::open_file, <<<$>>> $", m_fileInfo.absoluteFilePath(), m_error);
        return false;
    }
    if (cut)
        top.push_back(new QTreeWidgetItem({xprintF(xt("... the rest is left out after $ nodes"), format1000(kMaxItems)), QString()}));
    m_tree->addTopLevelItems(top);
    m_tree->expandToDepth(1);
    m_tree->resizeColumnToContents(0);
    m_stack->setCurrentWidget(m_tree);
    return true;
}

bool PreviewXml::open_file(const QFileInfo& fi)
{
    m_fileInfo = fi;
    XLineReaderDA reader;
    if (!fi.isFile() || !reader.openFile(fi.absoluteFilePath())) {
        m_tree->clear();
        m_error = xt("The file cannot be read.");
        m_message->setText(m_error);
        m_stack->setCurrentWidget(m_message);
        return false;
    }
    // Parsed straight from the reader's bytes; the tree keeps copies of what it shows.
    return show_bytes(QByteArray::fromRawData(reader.data(), int(std::min<qint64>(reader.size(), INT32_MAX))));
}

bool PreviewXml::set_mem_file(const XMemFile& mem)
{
    m_fileInfo = QFileInfo(mem.name);
    return show_bytes(mem.bytes);
}

void PreviewXml::close()
{
    Preview::close();
    m_tree->clear();
}

} // namespace zem
