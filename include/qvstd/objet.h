// Objects of the component's classes as the host holds them, and the shapes
// of a class's entry points (constructor, copy, type description, property
// getters and setters).
//
// The host holds the address of an object's language-visible part; two
// machine words before it lie the object's interface (its table of virtual
// operations) and its reference count. A new object starts with one
// reference, which belongs to whoever asked for it.
#pragma once
#include <cstdint>

class CXError;
struct CCtxInfo;

class IObjetComposante {
public:
    virtual int AddRef() = 0;
    virtual int Release() = 0;   // destroys the object with its last reference

protected:
    ~IObjetComposante() = default;
};

inline IObjetComposante* QV_piObjetDepuisVisible(void* pVisible) {
    return pVisible == nullptr
               ? nullptr
               : reinterpret_cast<IObjetComposante*>(static_cast<char*>(pVisible) - 2 * sizeof(void*));
}

extern "C" {
// Constructor: (argument pointers, context, error) -> the visible part, or null.
typedef void* (*PFN_ClasseConstructeur)(void** ppArgs, CCtxInfo* pstCtx, CXError* pclErreur);
// Copy: the source's state into the destination (both visible parts).
typedef int (*PFN_ClasseCopie)(void* pDestination, const void* pSource, CCtxInfo* pstCtx, CXError* pclErreur);
// Keeps the host's type description for later creations.
typedef void (*PFN_ClasseTypeDescription)(void* piTypeDescription);
// Getter: hands the value to the context's host (RenvoieValeurPropriete).
typedef void (*PFN_ClasseLecture)(void* pObjet, CCtxInfo* pstCtx, CXError* pclErreur);
// Setter: the new value is the first argument pointer.
typedef void (*PFN_ClasseEcriture)(void* pObjet, void** ppArgs, CCtxInfo* pstCtx, CXError* pclErreur);
}
