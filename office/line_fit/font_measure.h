#pragma once

#include <QHash>
#include <QString>

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/XDevice.hpp>
#include <com/sun/star/awt/XFont.hpp>

namespace word {

// Widths of texts in fonts, as the office's screen device measures them, each asked once.
class FontMeasure
{
public:
    // Fonts are measured at a large size, where the device's rounding does not matter, and scaled.
    static constexpr sal_Int16 kHeight = 1000;

    explicit FontMeasure(const com::sun::star::uno::Reference<com::sun::star::awt::XDevice>& device)
        : mDevice(device)
    {}

    // Width in device units of text set at kHeight.
    double width(const com::sun::star::awt::FontDescriptor& font, const QString& text);

private:
    com::sun::star::uno::Reference<com::sun::star::awt::XDevice> mDevice;
    QHash<QString, com::sun::star::uno::Reference<com::sun::star::awt::XFont>> mFonts;
    QHash<QString, double> mWidths;
};

} // namespace word
