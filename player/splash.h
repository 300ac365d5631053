// The splash window shown while the player starts, and the JPEG decoder its picture needs.
#pragma once

#include <QImage>
#include <QWidget>

#include <span>

namespace player {

// The picture bundled with the program.
std::span<const unsigned char> SplashJpeg();

// Decodes a JPEG held in memory; a null image when the bytes are not a JPEG it can read.
QImage DecodeJpeg(std::span<const unsigned char> bytes);

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    TSplashForm();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

}  // namespace player
