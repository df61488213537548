#include "SCC_Property.h"

#include "SCC_StdCollection.h"

SCC_StdProperty::SCC_StdProperty() : m_convertorHook(this, &SCC_StdProperty::OnPropEvent, 0) {}

SCC_StdProperty::SCC_StdProperty(SCC_StdProperty& model)
    : SCC_SharedBuffer(model),
      m_convertor(model.m_convertor),
      m_validation(model.m_validation),
      m_convertorHook(this, &SCC_StdProperty::OnPropEvent, 0),
      m_propEvent(model.m_propEvent) {
    if (!m_convertor.IsNull()) AddHook(*m_convertor, m_convertorHook);
}

SCC_StdProperty& SCC_StdProperty::operator=(SCC_StdProperty& model) {
    if (this == &model) return *this;
    SCC_StdProperty::SetConvertor(model.m_convertor);
    m_validation = model.m_validation;
    m_propEvent = model.m_propEvent;
    return *this;
}

SCC_StdProperty::~SCC_StdProperty() = default;

void SCC_StdProperty::SetObject(void* /*object*/) {}

int SCC_StdProperty::GetValue(SCC_StdCollection* collection, SCC_Variant& value) {
    if (collection == nullptr) return GetValue(SYS_Handle(0), value);
    if (!collection->HasFocus()) return 0;
    for (long i = 0;; ++i) {
        const SYS_Handle handle = collection->GetFocus(i);
        if (handle == 0) return 1;
        SCC_Variant read;
        if (!GetValue(handle, read)) return 0;
        if (value.IsEmpty()) {
            value = read;
        } else if (value != read) {
            value.Clear();
            return 1;
        }
    }
}

int SCC_StdProperty::GetValue(SYS_Handle /*handle*/, SCC_Variant& /*value*/) { return 0; }

int SCC_StdProperty::SetValue(SCC_StdCollection* collection, const SCC_Variant& value, int flags) {
    if (collection == nullptr) return SetValue(SYS_Handle(0), value, flags);
    for (long i = 0;; ++i) {
        const SYS_Handle handle = collection->GetFocus(i);
        if (handle == 0) return 1;
        if (!SetValue(handle, value, flags)) return 0;
    }
}

int SCC_StdProperty::SetValue(SYS_Handle /*handle*/, const SCC_Variant& /*value*/, int /*flags*/) {
    return 0;
}

int SCC_StdProperty::HasSetMethod() { return 0; }

SCC_StdProperty* SCC_StdProperty::GetDataSource() { return this; }

const char* SCC_StdProperty::GetValidation() { return m_validation; }

void SCC_StdProperty::SetValidation(const char* validation) { m_validation = validation; }

SCC_SharedPointer<SCC_Convertor> SCC_StdProperty::GetConvertor() { return m_convertor; }

SCC_StdProperty* SCC_StdProperty::SetConvertor(SCC_SharedPointer<SCC_Convertor> convertor) {
    m_convertor = convertor;
    Detach(m_convertorHook);
    if (!m_convertor.IsNull()) AddHook(*m_convertor, m_convertorHook);
    return this;
}

SCC_Notifier* SCC_StdProperty::GetPropEvent() { return &m_propEvent; }

void SCC_StdProperty::AddDataSource(SCC_StdProperty* /*source*/) {}

void SCC_StdProperty::RemoveDataSource() {}

int SCC_StdProperty::OnPropEvent(int /*code*/, int* /*data*/) {
    m_propEvent.Notify(SCC_NotifyPropertyChanged, this);
    return 0;
}

// --- SCC_IndProperty ---------------------------------------------------------------------------
// Without a target every operation falls back to the base's answer instead of crashing.

SCC_IndProperty::SCC_IndProperty(const SCC_SharedPointer<SCC_StdProperty>& target)
    : m_target(target) {}

SCC_IndProperty::~SCC_IndProperty() = default;

void SCC_IndProperty::SetObject(void* object) {
    if (m_target.IsNull()) return SCC_StdProperty::SetObject(object);
    m_target->SetObject(object);
}

int SCC_IndProperty::GetValue(SCC_StdCollection* collection, SCC_Variant& value) {
    if (m_target.IsNull()) return SCC_StdProperty::GetValue(collection, value);
    return m_target->GetValue(collection, value);
}

int SCC_IndProperty::GetValue(SYS_Handle handle, SCC_Variant& value) {
    if (m_target.IsNull()) return SCC_StdProperty::GetValue(handle, value);
    return m_target->GetValue(handle, value);
}

int SCC_IndProperty::SetValue(SCC_StdCollection* collection, const SCC_Variant& value,
                              int flags) {
    if (m_target.IsNull()) return SCC_StdProperty::SetValue(collection, value, flags);
    return m_target->SetValue(collection, value, flags);
}

int SCC_IndProperty::SetValue(SYS_Handle handle, const SCC_Variant& value, int flags) {
    if (m_target.IsNull()) return SCC_StdProperty::SetValue(handle, value, flags);
    return m_target->SetValue(handle, value, flags);
}

int SCC_IndProperty::HasSetMethod() {
    if (m_target.IsNull()) return SCC_StdProperty::HasSetMethod();
    return m_target->HasSetMethod();
}

SCC_StdProperty* SCC_IndProperty::GetDataSource() {
    if (m_target.IsNull()) return SCC_StdProperty::GetDataSource();
    return m_target->GetDataSource();
}

const char* SCC_IndProperty::GetValidation() {
    if (m_target.IsNull()) return SCC_StdProperty::GetValidation();
    return m_target->GetValidation();
}

void SCC_IndProperty::SetValidation(const char* validation) {
    if (m_target.IsNull()) return SCC_StdProperty::SetValidation(validation);
    m_target->SetValidation(validation);
}

SCC_SharedPointer<SCC_Convertor> SCC_IndProperty::GetConvertor() {
    if (m_target.IsNull()) return SCC_StdProperty::GetConvertor();
    return m_target->GetConvertor();
}

SCC_StdProperty* SCC_IndProperty::SetConvertor(SCC_SharedPointer<SCC_Convertor> convertor) {
    if (m_target.IsNull()) return SCC_StdProperty::SetConvertor(convertor);
    return m_target->SetConvertor(convertor);
}

SCC_Notifier* SCC_IndProperty::GetPropEvent() {
    if (m_target.IsNull()) return SCC_StdProperty::GetPropEvent();
    return m_target->GetPropEvent();
}

void SCC_IndProperty::AddDataSource(SCC_StdProperty* source) {
    if (m_target.IsNull()) return SCC_StdProperty::AddDataSource(source);
    m_target->AddDataSource(source);
}

void SCC_IndProperty::RemoveDataSource() {
    if (m_target.IsNull()) return SCC_StdProperty::RemoveDataSource();
    m_target->RemoveDataSource();
}
