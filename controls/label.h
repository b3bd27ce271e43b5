// A plain text label: the caption shown literally (a song title may hold "&" or "<"), one or
// more lines, transparent unless told otherwise.
#pragma once

#include <QColor>
#include <QLabel>

class TLMDLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(QString FontName READ fontName WRITE setFontName)
    Q_PROPERTY(bool Transparent READ isTransparent WRITE setTransparent)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(Qt::Alignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool MultiLine READ wordWrap WRITE setMultiLine)
    // Off: the label keeps the size it was given and clips what does not fit.
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)

public:
    explicit TLMDLabel(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QColor fontColor() const;
    void setFontColor(const QColor &color);
    QString fontName() const { return font().family(); }
    void setFontName(const QString &family);
    bool isTransparent() const { return !autoFillBackground(); }
    void setTransparent(bool transparent);
    QColor color() const;
    void setColor(const QColor &color);
    void setMultiLine(bool multiLine);
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitIfAutoSize();

    bool m_autoSize = false;
};
