// TVqPosSave: remembers a window's position and size in the registry value "PosData" (16 bytes:
// Left, Top, Width, Height, signed 32-bit little-endian) between runs.
#pragma once

#include <QObject>
#include <QRect>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace controls {

enum TRoot { HKLM, HKCU, HKCR };

class TVqPosSave : public QObject {
    Q_OBJECT
public:
    // Watches owner: loads on each show or hide, saves on each move or resize after the first load.
    explicit TVqPosSave(QWidget* owner);

    TRoot RootKey = HKCU;
    std::string Key = "Software\\MyProgram";

    void LoadPosition();
    void SavePosition();
    bool loaded() const { return m_loaded; }

    static std::vector<std::uint8_t> encode(const QRect& bounds);
    // The bounds a stored value holds, or none when it is not 16 bytes, its size is not positive
    // or it lies off every screen.
    static std::optional<QRect> decode(const std::vector<std::uint8_t>& bytes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Left and top of the window frame with the client size, of the normal (not minimised or
    // maximised) window.
    QRect normalBounds() const;

    QWidget* m_owner;
    bool m_loaded = false;
};

}  // namespace controls
