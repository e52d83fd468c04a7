#pragma once
// The skin engine: finds the skins (compiled in and in skin folders), serves the current skin's style
// sheets, images and html texts, and re-skins the recorded widgets when the skin changes.
#include <QHash>
#include <QList>
#include <QMargins>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "platform/com/combase.h"

class QWidget;
class CStyleElided;

class Skin : public QObject
{
    Q_OBJECT
public:
    // Style sheet kinds, one file each in a skin.
    enum
    {
        CssSizeGrip = 0,
        CssMainWindow = 1,
        CssTitleBar = 2,  // main tab bar and title bars
        CssPopup = 3,     // the popup stack's frames
        CssPopupMenu = 4, // menus and pickers
        CssPageStack = 5,
        CssKindCount = 6
    };

    // Images of a skin.
    enum
    {
        ImageLogo = 2,     // the 32-pixel product logo
        ImageFacebook = 3, // Facebook button
        ImageTwitter = 4   // Twitter button
    };

    struct CSkinDesc
    {
        QString id;   // folder name; stable across runs
        QString name; // display name from conf.ini
        QString root; // ":/img/skins/<id>" or the folder path
        bool builtIn = false;
    };

    // The folders searched for skins besides the compiled-in ones: "<data dir>/skins" and the
    // "skins" folder beside the executable.
    static QStringList DefaultSkinFolders();

    // Finds the skins and chooses the one kept in "skin8/name" (else the default skin). The first
    // engine made becomes the process-wide one.
    explicit Skin(QObject* parent = nullptr, const QStringList& folders = DefaultSkinFolders());
    ~Skin() override;

    // The process-wide engine; made (owned by the application) on first use when start-up has not made it.
    static Skin* instance();

    // The skins found: compiled-in first, then the folders' skins, each group ordered by id.
    QList<CSkinDesc> GetSkins() const { return m_skins; }
    // Looks for skins again; the current skin stays when it is still there.
    void ReloadSkinList();

    QString GetCurrentSkinId() const;
    QString GetCurrentSkinName() const;
    // The root that "${SKIN_ROOT}" stands for in the current skin's files.
    QString GetCurrentSkinRoot() const;

    // Switches to the skin (or re-reads the current one when force is set), keeps the choice in
    // "skin8/name" when save is set, re-applies the style sheets of every recorded widget and invokes
    // "reloadSkin()" where a widget has it. S_FALSE when nothing had to change; 0x800700A0 for an
    // unknown id.
    HRESULT ChooseSkin(const QString& id, bool save, bool force);

    // Sets the widget's "skinsengine_skinid" property and its style sheet of that kind from the current
    // skin, and records it for skin changes.
    void ApplyCss(QWidget* widget, int kind);
    // The current skin's style sheet of a kind (the skin root filled in); empty when it has none.
    QString GetCss(int kind) const;

    // The html text of an id (the skin root filled in); empty for an id without a text.
    QString getHtml(int id) const;
    // The file name of an html id, empty when the id has none.
    static QString HtmlFileName(int id);
    // A pixmap of the current skin; null when the skin has none for the id.
    QPixmap getImage(int id) const;

    // The contents margins of skinned windows.
    QMargins GetContentsMargins() const;

    // The shared eliding style (it lives as long as the application).
    CStyleElided* GetElidedStyle();

    // The lines joined with the skin's line separator and wrapped as an html page with its style block.
    QString WrapHtmlLinesWithCss(const QStringList& lines) const;

private slots:
    void OnCssWidgetDestroyed(QObject* object);

private:
    struct CLoaded
    {
        QHash<QString, QHash<QString, QString>> ini; // section -> key -> value
        mutable QHash<int, QString> css;
        mutable QHash<int, QString> html;
        mutable QHash<int, QPixmap> images;
    };

    void FindSkins();
    int FindSkin(const QString& id) const;
    int DefaultSkinIndex() const;
    void LoadCurrent();
    QString IniValue(const QString& section, const QString& key) const;
    QString ReadSkinFile(const QString& relativePath) const;
    void Reskin();

    QStringList m_folders;
    QList<CSkinDesc> m_skins;
    int m_current = -1;
    CLoaded m_loaded;
    QHash<QObject*, int> m_cssWidgets;
    QPointer<CStyleElided> m_elidedStyle;
};
