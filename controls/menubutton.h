// A push button that drops its pop-up menu down below itself; "&" in the caption marks the
// Alt key that presses it.
#pragma once

#include <QColor>
#include <QMenu>
#include <QPushButton>

class TRzMenuButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(QMenu *DropDownMenu READ dropDownMenu WRITE setDropDownMenu)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    explicit TRzMenuButton(QWidget *parent = nullptr);

    // The menu is not owned: the window that owns the menus may share one between buttons and
    // the list's context menu.
    QMenu *dropDownMenu() const { return menu(); }
    void setDropDownMenu(QMenu *menu);
    QColor color() const;
    void setColor(const QColor &color);
    QColor fontColor() const;
    void setFontColor(const QColor &color);
    QString fontName() const { return font().family(); }
    void setFontName(const QString &family);
};
