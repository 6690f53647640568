#include "feedback/WindowPreparation.h"

#include "feedback/WindowPlacement.h"
#include "platform/ClassRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/TCustomForm.h"

#include <QApplication>

#include <memory>

namespace {
const char kColorWrapperClass[] = "TColorWrapper";
const char kColorWrapperOperation[] = "SetProperties";
} // namespace

void PrepareWindow(TCustomForm *window, bool place) {
    window->SetHelpContext(1);
    if (place && window->BorderStyle() != TCustomForm::bsNone)
        PlaceWindow(window, false);
    // The instance only carries the operation; it is freed whether the operation succeeds or
    // throws.
    std::unique_ptr<QObject> wrapper(ClassRegistry::create(QLatin1String(kColorWrapperClass)));
    if (wrapper)
        ClassRegistry::invokeWithObject(wrapper.get(), kColorWrapperOperation, window);
}

void PlaceWindow(TCustomForm *window, bool force) {
    if (!force && window->BorderStyle() == TCustomForm::bsNone)
        return;
    TPlacementInput input;
    input.Window = QRect(window->pos(), window->size());
    input.Centred = window->Position() == TCustomForm::poScreenCenter;
    QWidget *reference = QApplication::activeWindow();
    if (!reference)
        reference = Application::mainForm();
    if (reference)
        input.Reference = QRect(reference->pos(), reference->size());
    input.Layout = ScreenLayout::current();
    const TPlacement placement = ComputePlacement(input);
    if (input.Centred)
        window->SetPosition(TCustomForm::poDesigned);
    window->move(placement.Bounds.topLeft());
    window->resize(placement.Bounds.size());
}
