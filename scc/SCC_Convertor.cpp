#include "SCC_Convertor.h"

SCC_Convertor::~SCC_Convertor() = default;

SCC_Variant SCC_Convertor::Convert(SCC_Variant value, int /*direction*/) { return value; }

// --- SCC_IndConvertor --------------------------------------------------------------------------

SCC_IndConvertor::SCC_IndConvertor(const SCC_SharedPointer<SCC_Convertor>& inner)
    : m_inner(inner), m_innerHook(this, &SCC_IndConvertor::OnEvent, 0) {
    HookInner();
}

SCC_IndConvertor::SCC_IndConvertor(SCC_IndConvertor& model)
    : SCC_Convertor(model),
      m_inner(model.m_inner),
      m_innerHook(this, &SCC_IndConvertor::OnEvent, 0) {
    HookInner();
}

SCC_IndConvertor& SCC_IndConvertor::operator=(SCC_IndConvertor& model) {
    if (this == &model) return *this;
    SCC_Convertor::operator=(model);
    m_inner = model.m_inner;
    Detach(m_innerHook);
    HookInner();
    return *this;
}

SCC_IndConvertor::~SCC_IndConvertor() = default;

void SCC_IndConvertor::HookInner() {
    if (!m_inner.IsNull()) AddHook(*m_inner, m_innerHook);
}

SCC_Variant SCC_IndConvertor::Convert(SCC_Variant value, int direction) {
    return m_inner.IsNull() ? value : m_inner->Convert(value, direction);
}

int SCC_IndConvertor::OnEvent(int code, int* data) {
    Notify(code, data);
    return 0;
}

// --- SCC_RevConvertor --------------------------------------------------------------------------

SCC_RevConvertor::~SCC_RevConvertor() = default;

SCC_Variant SCC_RevConvertor::Convert(SCC_Variant value, int direction) {
    return SCC_IndConvertor::Convert(value, direction == 0 ? 1 : 0);
}
