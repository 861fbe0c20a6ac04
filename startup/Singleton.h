// Lazily created process-wide singletons. Instances and their locks are never
// destroyed: worker threads may still reach them while the process exits.
#pragma once

#include <atomic>
#include <new>

#include "startup/Locks.h"

template <typename T>
class CSingletonT {
public:
    // Double-checked creation; null only when the lock object cannot be allocated.
    static T* Instance()
    {
        _BaseModule::CCriticalSection* lock = lock_.load(std::memory_order_acquire);
        if (!lock) {
            guard_.Lock();
            lock = lock_.load(std::memory_order_relaxed);
            if (!lock) {
                lock = new (std::nothrow) _BaseModule::CCriticalSection;
                lock_.store(lock, std::memory_order_release);
            }
            guard_.Unlock();
            if (!lock) return nullptr;
        }
        if (T* existing = instance_.load(std::memory_order_acquire)) return existing;

        _BaseModule::CAutoLocker hold(lock);
        T* created = instance_.load(std::memory_order_relaxed);
        if (!created) {
            created = new T;
            instance_.store(created, std::memory_order_seq_cst);
        }
        return created;
    }

protected:
    CSingletonT() = default;

private:
    static inline _BaseModule::CCriticalSection guard_;
    static inline std::atomic<_BaseModule::CCriticalSection*> lock_{nullptr};
    static inline std::atomic<T*> instance_{nullptr};
};

// Base of singletons that are plain function-local statics.
template <typename T>
class static_singleton_base {
public:
    static T& Instance()
    {
        static T instance;
        return instance;
    }

protected:
    static_singleton_base() = default;
};
