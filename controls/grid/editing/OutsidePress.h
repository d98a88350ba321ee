#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

// Tells when a mouse button is pressed anywhere outside one widget — on
// another widget of its window, a button that takes no focus, another
// window — before the press reaches its target. The widget's children and
// their pop-ups (a drop-down's list, an editor's menu) count as inside.
// It watches only between watch() and stop(), so the application's events
// pass through one more filter only while that is needed.
class OutsidePress : public QObject
{
public:
    OutsidePress(QWidget *area, std::function<void()> pressed);
    ~OutsidePress() override;

    void watch();
    void stop();
    bool isWatching() const { return m_watching; }

    // Whether the widget lies in the area, across pop-up windows.
    bool isInside(const QWidget *widget) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_area;
    std::function<void()> m_pressed;
    bool m_watching = false;
};
