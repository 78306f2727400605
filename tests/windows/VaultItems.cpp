// Lists a vault's items as the core reads them, so that a test can check from the
// files what the program stored. Usage: VaultItems FOLDER PASSWORD
// Prints "group<TAB>name<TAB>id<TAB>password" a line; exits with 2 when the
// password does not open the vault, 1 when the files cannot be read.
#include <exception>
#include <iostream>

#include "vault/DataFiles.h"
#include "vault/Vault.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: VaultItems FOLDER PASSWORD\n";
        return 64;
    }
    try {
        zorvan::Vault vault(zorvan::DataPaths::InFolder(argv[1]));
        if (!vault.Open(argv[2])) {
            std::cerr << "VaultItems: the password does not open " << argv[1] << "\n";
            return 2;
        }
        for (const std::string& group : vault.GroupNames()) {
            for (const zorvan::BlockNumber block : vault.GroupBlocks(group)) {
                const zorvan::ItemRecord item = vault.LoadItem(block);
                std::cout << group << '\t' << item.ItemName << '\t' << item.AccountID << '\t'
                          << item.AccountPass << '\n';
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "VaultItems: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
