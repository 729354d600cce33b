// The few stream operations the serialisation buffer uses to save itself to
// a file and load coded bytes from one. Any stream type with the usual
// bWrite/bRead operations (sequential and at an offset, with a count done)
// goes through CBufferFlux, so the buffer works with every stream the
// component has without depending on one class.
#pragma once

class IBufferFlux {
public:
    virtual bool bEcrit(const void* p, unsigned int dwTaille, unsigned int* pdwFait) = 0;
    virtual bool bEcritA(long long oPosition, const void* p, unsigned int dwTaille, unsigned int* pdwFait) = 0;
    virtual bool bLit(void* p, unsigned int dwTaille, unsigned int* pdwFait) = 0;
    virtual bool bLitA(long long oPosition, void* p, unsigned int dwTaille, unsigned int* pdwFait) = 0;

protected:
    ~IBufferFlux() = default;
};

template <class TStream>
class CBufferFlux final : public IBufferFlux {
public:
    explicit CBufferFlux(TStream* pclFlux) : m_pclFlux(pclFlux) {}
    bool bEcrit(const void* p, unsigned int dwTaille, unsigned int* pdwFait) override {
        return m_pclFlux->bWrite(p, dwTaille, pdwFait);
    }
    bool bEcritA(long long oPosition, const void* p, unsigned int dwTaille, unsigned int* pdwFait) override {
        return m_pclFlux->bWrite(oPosition, p, dwTaille, pdwFait);
    }
    bool bLit(void* p, unsigned int dwTaille, unsigned int* pdwFait) override {
        return m_pclFlux->bRead(p, dwTaille, pdwFait);
    }
    bool bLitA(long long oPosition, void* p, unsigned int dwTaille, unsigned int* pdwFait) override {
        return m_pclFlux->bRead(oPosition, p, dwTaille, pdwFait);
    }

private:
    TStream* m_pclFlux;
};
