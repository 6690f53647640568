#include "feedback/RenderMarkup.h"

#include "feedback/MarkupPainter.h"

MarkupLayout RenderMarkup(QPainter *painter, const MarkupRequest &request) {
    MarkupLayout layout = LayoutMarkup(request);
    if (painter && request.draw)
        PaintMarkup(*painter, layout);
    return layout;
}
