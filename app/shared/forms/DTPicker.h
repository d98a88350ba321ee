#pragma once

#include <QDate>
#include <QVariant>
#include <QWidget>

class QCheckBox;
class QDateEdit;

// The program's date field: a date edit showing "yy-MM-dd" with a calendar
// pop-up, optionally led by a check box. With the check box shown, an
// unticked box means "no date": value() is then a null QVariant and the date
// part is greyed out. The shared form procedures know it as "DTPicker".
class DTPicker : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QVariant value READ value WRITE setValue NOTIFY valueChanged USER true)
    Q_PROPERTY(bool showCheckBox READ showCheckBox WRITE setShowCheckBox)
    Q_PROPERTY(QString displayFormat READ displayFormat WRITE setDisplayFormat)

public:
    explicit DTPicker(QWidget *parent = nullptr);

    // The date as a QDate, or a null QVariant for no date.
    QVariant value() const;
    // A valid date shows it (and ticks the box); anything else means no date,
    // which only a picker with a check box can hold, so without one it is
    // ignored.
    void setValue(const QVariant &value);

    bool isNull() const { return !value().isValid(); }
    // The shown date, also while the box is unticked.
    QDate date() const;

    bool showCheckBox() const;
    void setShowCheckBox(bool show);

    QString displayFormat() const;
    void setDisplayFormat(const QString &format);

    QDateEdit *dateEdit() const { return m_edit; }
    QCheckBox *checkBox() const { return m_check; }

Q_SIGNALS:
    // The value changed, by the user or by the program.
    void valueChanged();

private:
    void childChanged();
    void noteValue();

    QCheckBox *m_check = nullptr;
    QDateEdit *m_edit = nullptr;
    QVariant m_last;
    bool m_setting = false;
};
