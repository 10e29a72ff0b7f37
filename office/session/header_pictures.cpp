#include "header_pictures.h"

#include "uno_support.h"

#include <QRegularExpression>

#include <com/sun/star/awt/Point.hpp>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/graphic/GraphicProvider.hpp>
#include <com/sun/star/graphic/XGraphic.hpp>
#include <com/sun/star/io/SequenceInputStream.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>

#include <algorithm>
#include <vector>

namespace word {

using namespace word::uno;

namespace {

// A box: the drawing that keeps the room, and the group it stands in.
struct Box
{
    Reference<css::drawing::XShapes> group;
    Reference<css::drawing::XShape> shape;
};

void findBoxes(const Reference<css::container::XIndexAccess>& shapes,
               const QRegularExpression& name, std::vector<Box>& boxes)
{
    for (sal_Int32 i = 0; i < shapes->getCount(); ++i) {
        const Reference<css::drawing::XShape> shape(shapes->getByIndex(i), UNO_QUERY);
        if (!shape.is()) {
            continue;
        }
        const Reference<css::container::XNamed> named(shape, UNO_QUERY);
        if (named.is() && name.match(toQ(named->getName())).hasMatch()) {
            boxes.push_back({Reference<css::drawing::XShapes>(shapes, UNO_QUERY), shape});
            continue;
        }
        const Reference<css::container::XIndexAccess> inner(shape, UNO_QUERY);
        if (inner.is()) {
            findBoxes(inner, name, boxes);
        }
    }
}

Reference<css::graphic::XGraphic> graphicOf(const Reference<css::uno::XComponentContext>& context,
                                            const QByteArray& picture)
{
    const Sequence<sal_Int8> bytes(reinterpret_cast<const sal_Int8*>(picture.constData()),
                                   static_cast<sal_Int32>(picture.size()));
    const Reference<css::graphic::XGraphic> graphic =
        css::graphic::GraphicProvider::create(context)->queryGraphic(properties(
            {{"InputStream",
              Any(css::io::SequenceInputStream::createStreamFromSequence(context, bytes))}}));
    if (!graphic.is()) {
        throw Error(QStringLiteral("The office could not read the picture."));
    }
    return graphic;
}

// The picture's proportions, width over height: from its size on paper, else its pixels; 0 for
// a picture that draws nothing (an empty drawing), which then fills its box.
double proportionsOf(const Reference<css::graphic::XGraphic>& graphic)
{
    const Reference<css::beans::XPropertySet> properties(graphic, UNO_QUERY_THROW);
    for (const char* property : {"Size100thMM", "SizePixel"}) {
        css::awt::Size size;
        if ((properties->getPropertyValue(rtl::OUString::createFromAscii(property)) >>= size) &&
            size.Width > 0 && size.Height > 0) {
            return static_cast<double>(size.Width) / size.Height;
        }
    }
    return 0;
}

// A shape just added to a group reads its place as every member does, on the page, but takes a
// new one from another origin; the two differ by a fixed offset, which the first move shows.
void placeInGroup(const Reference<css::drawing::XShape>& shape, const css::awt::Point& at)
{
    shape->setPosition(at);
    const css::awt::Point landed = shape->getPosition();
    shape->setPosition(css::awt::Point(2 * at.X - landed.X, 2 * at.Y - landed.Y));
}

} // namespace

HeaderPictures::HeaderPictures(const Reference<css::frame::XModel>& model,
                               const Reference<css::uno::XComponentContext>& context)
    : mModel(model), mContext(context)
{}

int HeaderPictures::fill(const QString& boxName, const QByteArray& picture)
{
    std::vector<Box> boxes;
    // A text document has the one drawing page; the interface that says so is marked as giving
    // way to the one for many pages, which a text document does not offer.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const Reference<css::container::XIndexAccess> page(
        Reference<css::drawing::XDrawPageSupplier>(mModel, UNO_QUERY_THROW)->getDrawPage(),
        UNO_QUERY_THROW);
#pragma GCC diagnostic pop
    findBoxes(page,
              QRegularExpression(QRegularExpression::anchoredPattern(
                  QRegularExpression::escape(boxName) + QStringLiteral(" ?[0-9]+"))),
              boxes);
    if (boxes.empty()) {
        throw Error(QStringLiteral("The document keeps no room for a picture."));
    }
    const Reference<css::graphic::XGraphic> graphic = graphicOf(mContext, picture);
    const double proportions = proportionsOf(graphic);
    const Reference<css::lang::XMultiServiceFactory> factory(mModel, UNO_QUERY_THROW);
    for (const Box& box : boxes) {
        const css::awt::Point at = box.shape->getPosition();
        const css::awt::Size room = box.shape->getSize();
        // As large as the box allows, its proportions kept, centred.
        const double width =
            proportions > 0 ? std::min<double>(room.Width, room.Height * proportions) : room.Width;
        const double height = proportions > 0 ? width / proportions : room.Height;
        const Reference<css::drawing::XShape> shown(
            factory->createInstance("com.sun.star.drawing.GraphicObjectShape"), UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet>(shown, UNO_QUERY_THROW)
            ->setPropertyValue("Graphic", Any(graphic));
        box.group->add(shown);
        shown->setSize(
            css::awt::Size(static_cast<sal_Int32>(width), static_cast<sal_Int32>(height)));
        placeInGroup(shown,
                     css::awt::Point(at.X + static_cast<sal_Int32>((room.Width - width) / 2),
                                     at.Y + static_cast<sal_Int32>((room.Height - height) / 2)));
        box.group->remove(box.shape);
    }
    return static_cast<int>(boxes.size());
}

} // namespace word
