#pragma once

#include "SCC_Event.h"
#include "SCC_Notifier.h"
#include "SCC_SharedBuffer.h"
#include "SCC_Variant.h"
#include "TessarExport.h"

/// A two-way conversion of variants (units, colours): direction 1 converts a stored value
/// forward to the value shown, direction 0 back. A convertor is a shared object held through
/// SCC_SharedPointer, and it is itself the event on which it announces that its conversion
/// changed; every property that uses it turns such a notification into a property change.
///
/// The base converts nothing: Convert returns the value. Copying (which takes a non-const
/// reference) transfers the model's listeners to the copy; the model keeps none.
class TESSAR_EXPORT SCC_Convertor : public SCC_SharedBuffer, public SCC_Notifier {
public:
    SCC_Convertor() = default;
    /// Transfers the model's listeners to the copy (see the class comment).
    SCC_Convertor(SCC_Convertor& model) : SCC_SharedBuffer(model), SCC_Notifier(model) {}
    /// Transfers the model's listeners to this convertor; returns it.
    SCC_Convertor& operator=(SCC_Convertor& model) {
        SCC_Notifier::operator=(model);
        return *this;
    }
    ~SCC_Convertor() override;

    /// The value converted in `direction` (1 forward to the value shown, 0 back); the base returns
    /// `value` unchanged.
    virtual SCC_Variant Convert(SCC_Variant value, int direction);
};

/// Converts through an inner convertor (or not at all without one) and passes every notification
/// of the inner convertor on unchanged, so its listeners follow the inner convertor's changes.
/// Lets several owners share one convertor, each with its own counted reference.
///
/// A copy shares the inner convertor, takes over the model's listeners, and hooks the inner
/// convertor's event for itself (so the listeners it took over keep hearing the changes); the
/// model keeps its own hook.
class TESSAR_EXPORT SCC_IndConvertor : public SCC_Convertor {
public:
    /// Takes a reference to `inner` (null: no conversion) and hooks its event.
    explicit SCC_IndConvertor(const SCC_SharedPointer<SCC_Convertor>& inner);
    /// Shares the model's inner convertor, takes over its listeners and hooks the inner convertor
    /// for itself (see the class comment). Assigning a convertor to itself changes nothing.
    ///@{
    SCC_IndConvertor(SCC_IndConvertor& model);
    SCC_IndConvertor& operator=(SCC_IndConvertor& model);
    ///@}
    ~SCC_IndConvertor() override;

    /// inner->Convert(value, direction), or `value` without an inner convertor.
    SCC_Variant Convert(SCC_Variant value, int direction) override;
    /// The inner hook's reaction: notifies (code, data) on this convertor; returns 0.
    int OnEvent(int code, int* data);

private:
    void HookInner();

    SCC_SharedPointer<SCC_Convertor> m_inner;
    SCC_ObjectEventHook<SCC_IndConvertor, int> m_innerHook;
};

/// Converts in the opposite direction of its inner convertor: forward as the inner one converts
/// back, and back as it converts forward. Without an inner convertor it returns the value.
class TESSAR_EXPORT SCC_RevConvertor : public SCC_IndConvertor {
public:
    /// Takes a reference to `inner` (null: no conversion) and hooks its event.
    explicit SCC_RevConvertor(const SCC_SharedPointer<SCC_Convertor>& inner)
        : SCC_IndConvertor(inner) {}
    /// As SCC_IndConvertor's copy and assignment.
    ///@{
    SCC_RevConvertor(SCC_RevConvertor& model) : SCC_IndConvertor(model) {}
    SCC_RevConvertor& operator=(SCC_RevConvertor& model) {
    ///@}
        SCC_IndConvertor::operator=(model);
        return *this;
    }
    ~SCC_RevConvertor() override;

    SCC_Variant Convert(SCC_Variant value, int direction) override;
};
