// TPaintBox: a plain drawing surface whose owner paints it in a handler.
#pragma once

#include <QWidget>

#include <functional>

class QPainter;

namespace database {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);

    std::function<void(QPainter& painter)> OnPaint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace database
