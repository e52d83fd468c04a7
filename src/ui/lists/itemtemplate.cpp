#include "ui/lists/itemtemplate.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/translatedstring.h"

namespace MusicLists {

namespace {

const char* const kContext = "MusicLists::CItemTemplate";
const char* const kUnknownArtist = QT_TRANSLATE_NOOP("MusicLists::CItemTemplate", "Unknown artist");
const char* const kUnknownAlbum = QT_TRANSLATE_NOOP("MusicLists::CItemTemplate", "Unknown album");
const char* const kSongCount = QT_TRANSLATE_NOOP("MusicLists::CItemTemplate", "%n songs");
const char* const kAlbumCount = QT_TRANSLATE_NOOP("MusicLists::CItemTemplate", "%n albums");
const int kIconSize = 40;

// A one-line label that ends a text too long for its width with "..." instead of cutting it.
class CElidedLabel : public QLabel
{
public:
    CElidedLabel(const QString& name, QWidget* parent) : QLabel(parent)
    {
        setObjectName(name);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setTextFormat(Qt::PlainText);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
        style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                              palette(), isEnabled(), shown, foregroundRole());
    }
};

bool IsInteger(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

QString Plural(const char* source, int n)
{
    return CTranslatedStringDesc(source, kContext).FormatPlural(n);
}

QString UnknownArtist()
{
    return CTranslatedStringDesc(kUnknownArtist, kContext).Translate();
}

// Shows or hides without touching a widget that is already in that state (avoids layout churn).
void SetShown(QWidget* widget, bool shown)
{
    if (widget->isHidden() == shown)
        widget->setVisible(shown);
}

void SetLabel(QLabel* label, const QString& text)
{
    label->setText(text);
    SetShown(label, !text.isEmpty());
}

} // namespace

CItemTemplate::CItemTemplate(QWidget* parent, int kind)
    : QFrame(parent)
    , m_kind(kind)
{
    setObjectName(QStringLiteral("itemTemplate"));
    setProperty("kind", kind);
    setAttribute(Qt::WA_Hover);

    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("check"));
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("icon"));
    m_icon->setFixedSize(kIconSize, kIconSize);
    m_icon->setAlignment(Qt::AlignCenter);
    m_text = new CElidedLabel(QStringLiteral("text"), this);
    m_middleText = new CElidedLabel(QStringLiteral("middleText"), this);
    m_subtext = new CElidedLabel(QStringLiteral("subtext"), this);

    m_controls = new QFrame(this);
    m_controls->setObjectName(QStringLiteral("controls"));
    m_menuCheck = new QCheckBox(m_controls);
    m_menuCheck->setObjectName(QStringLiteral("menuCheck"));
    // The whole row is the switch: a click anywhere reaches the row, never the box alone.
    m_menuCheck->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_menuCheck->setFocusPolicy(Qt::NoFocus);
    m_menuAction = new QPushButton(m_controls);
    m_menuAction->setObjectName(QStringLiteral("menuAction"));
    m_syncStat = new QPushButton(m_controls);
    m_syncStat->setObjectName(QStringLiteral("syncStat"));
    m_syncStat->setProperty("syncState", QStringLiteral("none"));
    m_extra = new QPushButton(QStringLiteral("..."), m_controls);
    m_extra->setObjectName(QStringLiteral("extra"));
    for (QPushButton* button : {m_menuAction, m_syncStat, m_extra})
        button->setFocusPolicy(Qt::NoFocus);

    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(0);
    texts->addWidget(m_text);
    texts->addWidget(m_middleText);
    texts->addWidget(m_subtext);

    auto* controls = new QHBoxLayout(m_controls);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->addWidget(m_menuCheck);
    controls->addWidget(m_menuAction);
    controls->addWidget(m_syncStat);
    controls->addWidget(m_extra);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(m_check);
    row->addWidget(m_icon);
    row->addLayout(texts, 1);
    row->addWidget(m_controls);

    connect(m_extra, &QPushButton::clicked, this, &CItemTemplate::WhenExtraClicked);
    connect(m_syncStat, &QPushButton::clicked, this, &CItemTemplate::WhenSyncStatClicked);
    connect(m_menuAction, &QPushButton::clicked, this, &CItemTemplate::WhenMenuActionClicked);
    connect(m_check, &QCheckBox::clicked, this, &CItemTemplate::WhenCheckClicked);

    // What a row of this kind shows before it is drawn; owners hide what they do not want.
    const bool library = kind >= KindSong && kind <= KindPlaylist;
    m_check->setVisible(false);
    m_icon->setVisible(kind == KindAlbum);
    m_middleText->setVisible(kind == KindAlbum);
    m_menuCheck->setVisible(false);
    m_menuAction->setVisible(false);
    m_syncStat->setVisible(library || kind == KindAllSongs);
    m_extra->setVisible(library);
}

CItemTemplate::~CItemTemplate() = default;

QWidget* CItemTemplate::GetChild(const QString& name) const
{
    for (QWidget* child : {static_cast<QWidget*>(m_check), static_cast<QWidget*>(m_icon),
                           static_cast<QWidget*>(m_text), static_cast<QWidget*>(m_middleText),
                           static_cast<QWidget*>(m_subtext), static_cast<QWidget*>(m_controls),
                           static_cast<QWidget*>(m_extra), static_cast<QWidget*>(m_menuCheck),
                           static_cast<QWidget*>(m_menuAction), static_cast<QWidget*>(m_syncStat)}) {
        if (child->objectName() == name)
            return child;
    }
    return nullptr;
}

QString CItemTemplate::PropertyText(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<CTranslatedStringDesc>())
        return CTranslatedStringDesc::FromVariant(value).Translate();
    return value.toString();
}

void CItemTemplate::SetItem(const CItem& item, int listOptions)
{
    if (item.Kind() == KindOption)
        DrawOptionRow(item);
    else
        DrawLibraryRow(item, listOptions);
}

void CItemTemplate::DrawOptionRow(const CItem& item)
{
    const int rowTemplate = item.GetProperty(PropTemplate).toInt();
    if (property("template").toInt() != rowTemplate)
        setProperty("template", rowTemplate);

    SetShown(m_check, false);
    SetShown(m_icon, false);
    SetShown(m_middleText, false);
    SetShown(m_syncStat, false);
    SetShown(m_extra, false);
    m_text->setText(PropertyText(item.GetProperty(PropTitle)));
    SetShown(m_text, true);
    SetLabel(m_subtext, PropertyText(item.GetProperty(PropValueText)));

    const bool action = rowTemplate == TemplateAction;
    const QVariant check = item.GetProperty(PropCheckState);
    const bool hasCheck = !action && check.isValid();
    SetShown(m_menuCheck, hasCheck);
    if (hasCheck)
        m_menuCheck->setChecked(check.toInt() == 1);

    SetShown(m_menuAction, action);
    if (action) {
        m_menuAction->setText(PropertyText(item.GetProperty(PropActionText)));
        const QVariant enabled = item.GetProperty(PropActionEnabled);
        m_menuAction->setEnabled(!enabled.isValid() || enabled.toBool());
    }
}

void CItemTemplate::DrawLibraryRow(const CItem& item, int listOptions)
{
    const int kind = item.Kind();
    const bool library = kind >= KindSong && kind <= KindPlaylist;

    SetShown(m_menuCheck, false);
    SetShown(m_menuAction, false);
    SetShown(m_check, library && (listOptions & 0x1));
    if (library && (listOptions & 0x1))
        m_check->setChecked(item.GetProperty(PropCheckState).toInt() == 1);
    SetShown(m_extra, library && !(listOptions & 0x40));
    SetSyncState(item, (library || kind == KindAllSongs) && !(listOptions & 0x20));
    SetShown(m_icon, kind == KindAlbum);

    QString text;
    QString middle;
    QString sub;
    const QVariant count = item.GetProperty(PropCount);
    switch (kind) {
    case KindSong: {
        text = item.ThirdText();
        if (text.isEmpty())
            text = item.Path().section(QLatin1Char('/'), -1);
        QStringList parts;
        if (!item.Text().isEmpty())
            parts << item.Text();
        if (!item.SecondText().isEmpty())
            parts << item.SecondText();
        sub = parts.join(QStringLiteral(" - "));
        break;
    }
    case KindAlbum: {
        SetPicture(item.GetProperty(PropPicture));
        text = item.SecondText().isEmpty() ? CTranslatedStringDesc(kUnknownAlbum, kContext).Translate()
                                           : item.SecondText();
        if (item.GetProperty(PropOneArtist).toBool()) {
            middle = item.Text().isEmpty() ? UnknownArtist() : item.Text();
        } else {
            QStringList artists = item.GetProperty(PropArtists).toStringList();
            for (QString& artist : artists) {
                if (artist.isEmpty())
                    artist = UnknownArtist();
            }
            middle = artists.join(QStringLiteral(", "));
        }
        if (IsInteger(count))
            sub = Plural(kSongCount, count.toInt());
        break;
    }
    case KindArtist: {
        text = item.Text().isEmpty() ? UnknownArtist() : item.Text();
        QStringList parts;
        const QVariant albums = item.GetProperty(PropAlbumCount);
        if (IsInteger(albums))
            parts << Plural(kAlbumCount, albums.toInt());
        if (IsInteger(count))
            parts << Plural(kSongCount, count.toInt());
        sub = parts.join(QStringLiteral(", "));
        break;
    }
    case KindPlaylist:
        text = item.ThirdText();
        if (IsInteger(count))
            sub = Plural(kSongCount, count.toInt());
        break;
    case KindShuffleAll:
    case KindNewPlaylist:
    case KindAllSongs:
    case KindAllAlbums:
        text = PropertyText(item.GetProperty(PropTitle));
        if (item.GetProperty(PropOneArtist).toBool())
            sub = item.Text();
        break;
    default:
        text = item.Text();
        sub = item.SecondText();
        break;
    }
    m_text->setText(text);
    SetShown(m_text, true);
    m_middleText->setText(middle);
    SetShown(m_middleText, kind == KindAlbum);
    SetLabel(m_subtext, sub);
}

void CItemTemplate::SetPicture(const QVariant& value)
{
    QPixmap picture;
    if (value.userType() == QMetaType::QPixmap)
        picture = value.value<QPixmap>();
    else if (value.userType() == QMetaType::QImage)
        picture = QPixmap::fromImage(value.value<QImage>());
    const qint64 key = picture.isNull() ? 0 : picture.cacheKey();
    if (key == m_pictureKey)
        return;
    m_pictureKey = key;
    if (picture.isNull())
        m_icon->clear();
    else
        m_icon->setPixmap(picture.scaled(m_icon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void CItemTemplate::SetSyncState(const CItem& item, bool shown)
{
    SetShown(m_syncStat, shown);
    if (!shown)
        return;
    QString state = QStringLiteral("none");
    QString glyph;
    const QVariant value = item.GetProperty(PropSyncState);
    if (IsInteger(value)) {
        const qint32 s = value.toInt();
        if (s == qint32(0x80000000)) {
            state = QStringLiteral("missing");
            glyph = QStringLiteral("!");
        } else if (s >= 1) {
            state = QStringLiteral("in");
            glyph = QStringLiteral("\u2713");
        } else if (s == 0) {
            state = QStringLiteral("partial");
            glyph = QStringLiteral("\u2013");
        } else {
            state = QStringLiteral("out");
        }
    }
    m_syncStat->setText(glyph);
    const bool playlistInSync = item.GetProperty(PropPlaylistInSync).toInt() == 1;
    if (m_syncStat->property("syncState").toString() != state ||
        m_syncStat->property("playlistInSync").toBool() != playlistInSync) {
        m_syncStat->setProperty("syncState", state);
        m_syncStat->setProperty("playlistInSync", playlistInSync);
        // Style sheets select on these properties; polish again so the new rules apply.
        m_syncStat->style()->unpolish(m_syncStat);
        m_syncStat->style()->polish(m_syncStat);
    }
}

void CItemTemplate::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QFrame::mousePressEvent(event);
}

void CItemTemplate::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->pos());
    m_pressed = false;
    QFrame::mouseReleaseEvent(event);
    if (click)
        emit WhenItemClicked();
}

} // namespace MusicLists
