#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

// The window's test classes beyond the first, each in a file of its own, all
// run by the one test_app executable. A file registers its class with
//     static WindowTestRegistry::Add<MyTest> registered;
class WindowTestRegistry {
public:
    using Factory = std::function<std::unique_ptr<QObject>()>;
    static std::vector<Factory>& all()
    {
        static std::vector<Factory> factories;
        return factories;
    }
    template <typename T> struct Add {
        Add()
        {
            all().push_back([] { return std::make_unique<T>(); });
        }
    };
};
