#include "tools/ColourBleed.h"

#include <cmath>

namespace zev {

namespace {

// The same expression for the three planes of a gbrp picture.
QString onEachPlane(const QString& expression) {
    return QStringLiteral("c0='%1':c1='%1':c2='%1'").arg(expression);
}

QString boxBlurs() {
    const QString blur = QStringLiteral("avgblur=sizeX=%1").arg(ColourBleed::kBlurRadius);
    return blur + u',' + blur;
}

QString label(const QString& name) {
    return u'[' + name + u']';
}

} // namespace

QString ColourBleed::lowestExpression() {
    // 127 / alpha levels of colour are 127/255 of a level seen: under half.
    return QStringLiteral("if(y,ceil(max(0,x-127/y)),0)");
}

QString ColourBleed::highestExpression() {
    return QStringLiteral("if(y,floor(min(255,x+127/y)),255)");
}

QStringList ColourBleed::steps(const QString& colourIn, const QString& alphaIn, const QString& out) {
    const int fadeFloor = int(std::lround(kFadeBelow * 65535.0));
    return {
        label(colourIn) + QStringLiteral("split=3[bleedColour][bleedLowColour][bleedHighColour]"),
        label(alphaIn) + QStringLiteral("split=3[bleedAlpha][bleedLowAlpha][bleedHighAlpha]"),
        QStringLiteral("[bleedAlpha]lut=%1,split[bleedWeight][bleedWeightPlane]")
            .arg(onEachPlane(QStringLiteral("min(255,val*255/%1)").arg(kFullWeightAlpha))),
        // The neighbourhood's colour: the weighted colour blurred, divided
        // by the blurred weight, in 16 bits so that faint sums stay exact.
        QStringLiteral("[bleedColour][bleedWeight]lut2=%1,format=gbrp16le,%2[bleedSum]")
            .arg(onEachPlane(QStringLiteral("(x*y+127)/255")), boxBlurs()),
        QStringLiteral(
            "[bleedWeightPlane]extractplanes=g,format=gray16le,%1,lut=c0='max(val,%2)'[bleedTotal]")
            .arg(boxBlurs())
            .arg(fadeFloor),
        QStringLiteral("[bleedSum][bleedTotal]unpremultiply,format=gbrp[bleedFill]"),
        QStringLiteral("[bleedLowColour][bleedLowAlpha]lut2=%1[bleedLowest]")
            .arg(onEachPlane(lowestExpression())),
        QStringLiteral("[bleedHighColour][bleedHighAlpha]lut2=%1[bleedHighest]")
            .arg(onEachPlane(highestExpression())),
        QStringLiteral("[bleedFill][bleedLowest]blend=all_mode=lighten[bleedRaised]"),
        QStringLiteral("[bleedRaised][bleedHighest]blend=all_mode=darken") + label(out),
    };
}

} // namespace zev
