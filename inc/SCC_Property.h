#pragma once

#include "SCC_Convertor.h"
#include "SCC_Event.h"
#include "SCC_Notifier.h"
#include "SCC_SharedBuffer.h"
#include "SCC_Variant.h"
#include "SYS_String.h"
#include "TessarExport.h"
#include "TessarTypes.h"

class SCC_StdCollection;

/// An accessor for one attribute of the objects behind handles: it reads and writes a variant
/// for one handle, or for every handle focused in a collection, carries a validation string for
/// user input (the grammar of SCC_Variant::Validate), and may have a convertor between stored
/// and shown values. A property is a shared object held through SCC_SharedPointer.
///
/// Application classes derive from it and override the handle forms of GetValue and SetValue,
/// HasSetMethod, SetObject and the data-source operations (which the base ignores; `flags` is
/// passed on unchanged by every forwarding operation and means what a derived property says).
/// GetValue and SetValue are overloaded on collection and handle: a derived class that
/// overrides one form should bring the other into scope (using SCC_StdProperty::GetValue).
///
/// Change propagation: the property listens to its convertor's event; whatever the convertor
/// notifies, the property announces (SCC_NotifyPropertyChanged, this property) on its property
/// event, exactly once per notification.
///
/// Copying takes a non-const reference. The copy shares the convertor, copies the validation,
/// hooks the convertor's event next to the model's hook, and takes over the listeners of the
/// model's property event (the model keeps none). The copy's hook calls the copy, so the
/// listeners it took over go on hearing the convertor's changes, as (8, copy).
class TESSAR_EXPORT SCC_StdProperty : public SCC_SharedBuffer {
public:
    SCC_StdProperty();
    /// Shares the model's convertor (with its own hook on it), copies its validation text and
    /// takes over the listeners of its change event.
    SCC_StdProperty(SCC_StdProperty& model);
    /// Takes the model's convertor (as SetConvertor) and validation text, and takes over the
    /// listeners of its change event; assigning a property to itself changes nothing.
    SCC_StdProperty& operator=(SCC_StdProperty& model);
    ~SCC_StdProperty() override;

    // --- virtual operations, in their fixed slot order ---
    /// Binds a derived property to an object; the base does nothing.
    virtual void SetObject(void* object);
    /// The value common to every focused handle of `collection`: returns 1 with that value, 1
    /// with an empty `value` when two focused handles differ, 0 when nothing is focused or a
    /// handle cannot be read. `value` should be empty on entry: a non-empty value takes part in
    /// the comparison. A null collection reads handle 0.
    virtual int GetValue(SCC_StdCollection* collection, SCC_Variant& value);
    /// 1 when `value` holds the attribute of `handle`; the base answers 0 (not available).
    virtual int GetValue(SYS_Handle handle, SCC_Variant& value);
    /// Writes `value` to every focused handle in focus order, stopping at the first that fails
    /// (result 0); 1 when all succeeded or nothing is focused. A null collection writes handle 0.
    virtual int SetValue(SCC_StdCollection* collection, const SCC_Variant& value, int flags);
    /// 1 when the attribute of `handle` was written; the base answers 0.
    virtual int SetValue(SYS_Handle handle, const SCC_Variant& value, int flags);
    /// Whether the property can be written; the base answers 0.
    virtual int HasSetMethod();
    /// The property that holds the data; the base answers itself.
    virtual SCC_StdProperty* GetDataSource();
    /// The validation text (see SCC_Variant::Validate); empty until set. Valid until the next
    /// SetValidation.
    virtual const char* GetValidation();
    virtual void SetValidation(const char* validation);  ///< null gives the empty text
    /// A new reference to the convertor; null when there is none.
    virtual SCC_SharedPointer<SCC_Convertor> GetConvertor();
    /// Takes a reference to `convertor`, releases the old one and moves the hook to the new
    /// convertor's event (a null convertor leaves it detached). Returns this property.
    virtual SCC_StdProperty* SetConvertor(SCC_SharedPointer<SCC_Convertor> convertor);
    /// Where the property announces its changes.
    virtual SCC_Notifier* GetPropEvent();
    virtual void AddDataSource(SCC_StdProperty* source);  ///< the base ignores it
    virtual void RemoveDataSource();                        ///< the base does nothing

protected:
    /// The convertor hook's reaction: announces (8, this property); returns 0.
    int OnPropEvent(int code, int* data);

private:
    SCC_SharedPointer<SCC_Convertor> m_convertor;
    SYS_String m_validation;
    SCC_ObjectEventHook<SCC_StdProperty, int> m_convertorHook;
    SCC_Notifier m_propEvent;
};

/// Lets several owners share one property, each holding its own counted reference: every
/// operation is the target's (GetDataSource answers the target's data source, GetPropEvent the
/// target's event, SetConvertor installs the convertor in the target and answers its result).
/// The fields inherited from SCC_StdProperty are not used; without a target (a broken
/// precondition) the indirect property answers as a base property would, rather than crash.
class TESSAR_EXPORT SCC_IndProperty : public SCC_StdProperty {
public:
    /// Takes a reference to `target`, which every operation is forwarded to.
    explicit SCC_IndProperty(const SCC_SharedPointer<SCC_StdProperty>& target);
    ~SCC_IndProperty() override;

    void SetObject(void* object) override;
    int GetValue(SCC_StdCollection* collection, SCC_Variant& value) override;
    int GetValue(SYS_Handle handle, SCC_Variant& value) override;
    int SetValue(SCC_StdCollection* collection, const SCC_Variant& value, int flags) override;
    int SetValue(SYS_Handle handle, const SCC_Variant& value, int flags) override;
    int HasSetMethod() override;
    SCC_StdProperty* GetDataSource() override;
    const char* GetValidation() override;
    void SetValidation(const char* validation) override;
    SCC_SharedPointer<SCC_Convertor> GetConvertor() override;
    SCC_StdProperty* SetConvertor(SCC_SharedPointer<SCC_Convertor> convertor) override;
    SCC_Notifier* GetPropEvent() override;
    void AddDataSource(SCC_StdProperty* source) override;
    void RemoveDataSource() override;

private:
    SCC_SharedPointer<SCC_StdProperty> m_target;
};
